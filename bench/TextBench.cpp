// The text model on a 10 MiB CP949 book: reading it, and re-wrapping it on a font change,
// against the same wrap done by Qt's own text layout.

#include <iconv.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextLayout>

#include "Bench.h"
#include "Book.h"
#include "encodings/StoredText.h"
#include "pages/Mo_TxtPublic.h"
#include "textbox/LineBreaker.h"

namespace {

constexpr int kWidth = 900;  // a page of a 1920 x 1080 window

QFont pageFont(int points) {
    QFont f(QStringLiteral("NanumGothic"));
    f.setPointSize(points);
    return f;
}

// Wraps every paragraph of text[from, to) with QTextLayout; returns the number of lines.
int layoutWithQt(const QString& text, qsizetype from, qsizetype to, const QFont& font) {
    int lines = 0;
    qsizetype i = from;
    while (i < to) {
        qsizetype e = i;
        while (e < to && text[e] != u'\r' && text[e] != u'\n') ++e;
        QTextLayout layout(text.mid(i, e - i), font);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            line.setLineWidth(kWidth);
            ++lines;
        }
        layout.endLayout();
        if (e < to && text[e] == u'\r' && e + 1 < to && text[e + 1] == u'\n') ++e;
        i = e + 1;
        if (e >= to) break;
    }
    return lines;
}

}  // namespace

BENCHMARK(10, text) {
    const QString dataDir = QStringLiteral(TL_TESTDATA_DIR "/text");
    if (!QDir(dataDir).exists()) {
        bench::note("text: test data folder absent (" + dataDir + "), skipped");
        return;
    }
    const QByteArray book = bench::buildBook(dataDir);
    if (book.isEmpty()) {
        bench::note("text: the works could not be read or encoded in CP949, skipped");
        return;
    }
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("book.txt"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(book) != book.size()) {
        bench::note("text: cannot write the book to " + path + ", skipped");
        return;
    }
    out.close();

    QElapsedTimer first;
    first.start();
    QString text = encodings::StoredText::read(path).text.toString();
    bench::note(QStringLiteral("book: %1 MiB of CP949, %2 UTF-16 units; first read whole %3 ms "
                               "(with the decoding table)")
                    .arg(book.size() / 1048576.0, 0, 'f', 2)
                    .arg(text.size())
                    .arg(first.nsecsElapsed() / 1e6, 0, 'f', 1));
    // What opening it costs: where its runs begin, then the first wrap, which measures them.
    textbox::LineBreaker opened;
    opened.setWidth(kWidth);
    opened.setFont(pageFont(12));
    bench::report("open: read for its runs and wrapped first, 10 MiB CP949",
                  bench::medianMs(11,
                                  [&] {
                                      opened.setText(encodings::StoredText::read(path).text);
                                      opened.lineCount();
                                  }),
                  "ms", 60);

    textbox::LineBreaker breaker;
    breaker.setWidth(kWidth);
    breaker.setText(text);
    const QFont fonts[2] = {pageFont(12), pageFont(13)};
    first.restart();
    for (const QFont& f : fonts) {
        breaker.setFont(f);
        breaker.lineCount();
    }
    bench::note(QStringLiteral("first wrap in both fonts, measuring every character: %1 ms")
                    .arg(first.nsecsElapsed() / 1e6, 0, 'f', 1));
    int which = 0;
    int lines = 0;
    const double ours = bench::medianMs(21, [&] {
        which ^= 1;
        breaker.setFont(fonts[which]);
        lines = breaker.lineCount();
    });
    bench::report("re-wrap on a font change, 900 px, 12 <-> 13 pt", ours, "ms", 80);
    bench::note(QStringLiteral("%1 lines at 13 pt").arg(lines));

    // Qt's layout on the whole book takes seconds, so it lays out the first tenth (whole
    // paragraphs) three times and the median is scaled to the whole text by length.
    qsizetype slice = text.indexOf(u'\n', text.size() / 10) + 1;
    int qtLines = 0;
    const double qtSlice =
        bench::medianMs(3, [&] { qtLines = layoutWithQt(text, 0, slice, fonts[1]); });
    const double qtWhole = qtSlice * double(text.size()) / double(slice);
    breaker.setFont(fonts[1]);
    bench::note(QStringLiteral("QTextLayout, 13 pt: %1 ms for the first %2 units (%3 lines; ours "
                               "%4 lines there), scaled to the book: %5 ms")
                    .arg(qtSlice, 0, 'f', 1)
                    .arg(slice)
                    .arg(qtLines)
                    .arg(breaker.lineFromChar(int(Mo_TxtPublic::LenAnsi(text.left(slice)))))
                    .arg(qtWhole, 0, 'f', 0));
    bench::report("QTextLayout / ours, whole-book wrap", qtWhole / ours, "x", 15, true);
}
