#pragma once
// What a book is, whatever its name: a plain file by its size and a fingerprint of bytes sampled
// from it, an archive entry by the archive's file name (not its folder), the entry's name, size
// and CRC-32 as the archive's directory gives them. A book renamed or moved keeps its key; a book
// whose content changed gets a new one.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace files {
class RegularFile;
}

namespace library {

class BookKey {
public:
    // The fingerprint reads at most this many bytes, however large the file.
    static constexpr int kSampleBytes = 1024;
    // A key's text is never longer; one read from a file that is, is no key.
    static constexpr int kMaxTextBytes = 8192;

    // The key of the file at path; nothing when it is no regular file or cannot be read.
    static std::optional<BookKey> ofFile(const QString& path);
    // The key of an open file, read through its descriptor at the size it had when opened.
    static std::optional<BookKey> ofFile(const files::RegularFile& file);
    // The key of an entry of the archive at archivePath (only the archive's name counts).
    static BookKey ofEntry(const QString& archivePath, const QString& entryName, int64_t size,
                           uint32_t crc);
    // The key whose text this is; nothing when text is no well-formed key.
    static std::optional<BookKey> fromText(const QByteArray& text);

    // The database's form: "file:<size>:<SHA-1 of the samples, hex>" or
    // "entry:<size>:<CRC-32, hex>:<archive name>/<entry name>". An archive's name holds no "/",
    // so the first "/" after the CRC ends it.
    const QByteArray& text() const { return m_text; }
    bool isEntry() const { return m_text.startsWith("entry:"); }
    // The book's size in bytes, as the key gives it: the file's, or the entry's unpacked.
    int64_t size() const;

    friend bool operator==(const BookKey& a, const BookKey& b) { return a.m_text == b.m_text; }

private:
    explicit BookKey(QByteArray text) : m_text(std::move(text)) {}
    QByteArray m_text;
};

// Where the fingerprint samples a file of `size` bytes: 1 KiB at 0, 1 KiB, 4 KiB, 16 KiB, ...
// (each offset four times the last) while inside the file, and the last 1 KiB. Offsets only,
// ascending and distinct; at most 33 of them for any size.
std::vector<int64_t> sampleOffsets(int64_t size);

}  // namespace library
