#pragma once
// A book's text where it lies: in its file, which stays open, read and decoded a run at a time
// where it is wrapped, drawn, searched or scanned. What is kept is where each run of about
// 64 KiB begins (its byte in the file, its first UTF-16 index and its CP949 position), so a
// page costs the run or two it lies in, whatever the size of the book. A short text (a page,
// a test's book) may be held in memory instead; both answer alike.
//
// Runs begin where a line begins (after a line break), but for a line of more than about a MiB,
// which is cut where a character begins. A span is a run of runs from one line start to
// another: whole lines, so wrapping, finding and the chapter scan can take a span at a time.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "encodings/DocumentText.h"

namespace encodings {

class StoredText {
public:
    // Characters [from, to) of the text (UTF-16 indexes), from CP949 position `byte` on.
    struct Span {
        qsizetype from = 0, to = 0;
        int64_t byte = 0;
        size_t firstRun = 0, endRun = 0;
    };

    StoredText();
    // A text held in memory.
    StoredText(const QString& text);  // NOLINT: a string is a text held in memory

    // The text of the book at path in `encoding` (Automatic: detected), read once for its runs;
    // beforeReading runs once it is known to be a book; else why there is none.
    struct Read;
    static Read read(const QString& path, const std::function<void()>& beforeReading = {},
                     Encoding encoding = Encoding::Automatic);

    // In UTF-16 units, and in CP949 positions.
    qsizetype size() const;
    int64_t length() const;
    bool isEmpty() const;
    bool inFile() const;

    // Whether every run's first index and position are known. A book is read for where its runs
    // begin alone, and measured by its first wrap, which decodes it anyway, or else by the first
    // question that needs them.
    bool measured() const;
    // size(), or while unmeasured no less than it (the bytes of its runs).
    qsizetype sizeBound() const;
    // A run's characters and positions.
    struct RunMeasure {
        qsizetype units = 0;
        int64_t positions = 0;
    };
    // Spans of whole lines of at least `leastBytes` bytes of the file, by runs alone (their
    // from, to and byte unknown), for the wrap that measures the book.
    std::vector<Span> spansOfBytes(int64_t leastBytes) const;
    // A span's text decoded a run at a time, each run's measures appended to *measures.
    QString textOf(const Span& span, std::vector<RunMeasure>* measures) const;
    // Every run's measures, in order: the book is measured from then on.
    void takeMeasures(const std::vector<RunMeasure>& runs) const;

    // Characters [from, from + n), clamped to the text. Shorter (never from another version)
    // when the file changed under the reader: see changed().
    QString mid(qsizetype from, qsizetype n) const;
    QString toString() const { return mid(0, size()); }

    // The text cut into spans of at least `least` characters each (but the last); one span for
    // an empty text.
    std::vector<Span> spans(qsizetype least) const;
    QString textOf(const Span& span) const;
    // Calls visit(i, textOf(spans[i])) for every span, on this thread and one more, each taking
    // the next span left; visit must touch only what belongs to span i.
    void visitSpans(const std::vector<Span>& spans,
                    const std::function<void(size_t, const QString&)>& visit) const;

    // Whether the file was found changed (its size or time of change, or its name now naming
    // another file) by a read or by this look; it then gives no more text.
    bool changed() const;
    // The same text (copies share it).
    bool sameAs(const StoredText& other) const { return d == other.d; }

    // Where a run begins in the file, and its first index and position.
    struct Run {
        int64_t offset;    // its first byte in the file
        qsizetype index;   // its first UTF-16 index
        int64_t byte;      // its CP949 position
        bool lineStart;    // a line begins there
    };

private:
    struct Data;
    QString decodeRuns(size_t first, size_t end) const;
    QByteArray bytesOf(size_t first, size_t end) const;
    QString cp949Runs(const Span& span, const QByteArray& bytes,
                      std::vector<RunMeasure>* measures) const;
    void ensureMeasured() const;
    size_t runHolding(qsizetype index) const;

    std::shared_ptr<Data> d;
};

struct StoredText::Read {
    StoredText text;
    DocumentRead::Result result = DocumentRead::NotABook;
    Encoding encoding = Encoding::Automatic;  // what a book Read is read in
};

// Bytes held in memory, decoded whole as a book's runs are: Automatic is the detected encoding;
// UTF-8 drops its byte-order mark; UTF-16 drops its mark and follows the byte order the mark
// gives, whichever order was chosen; the code pages take every byte as text. Undecodable bytes
// become U+FFFD and never cut the text short.
struct DecodedDocument {
    QString text;
    Encoding encoding = Encoding::Automatic;
};
DecodedDocument decodeDocumentAs(const QByteArray& bytes, Encoding encoding);

}  // namespace encodings

using encodings::DecodedDocument;
using encodings::decodeDocumentAs;
