// Books inside archives: listing a ZIP of 1,000 entries, and opening the 10 MiB book as a ZIP
// entry against opening it as a plain file, each to its first spread on screen.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "../tests/common/ZipWriter.h"
#include "Bench.h"
#include "Book.h"
#include "Reader.h"
#include "dialogs/ScriptedDialogs.h"
#include "documents/cUnzip.h"
#include "forms/Timer.h"
#include "window/Frm_TxtViewer.h"

BENCHMARK(30, archive) {
    QTemporaryDir dir;
    std::vector<std::pair<QString, QByteArray>> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back(
            {QStringLiteral("단편 %1.txt").arg(i, 4, 10, QLatin1Char('0')), QByteArray(300, 'x')});
    const QString manyZip = dir.filePath("many.zip");
    if (!writeZip(manyZip, many)) {
        bench::note("could not write the ZIP of 1,000 entries");
        return;
    }
    const double listing = bench::medianMs(21, [&] {
        cUnzip zip;
        zip.setZipFile(manyZip);
        zip.Directory();
    });
    bench::report("listing a ZIP of 1,000 entries", listing, "ms", 50);

    const QByteArray book = bench::buildBook(QStringLiteral(TL_TESTDATA_DIR "/text"));
    if (book.isEmpty()) {
        bench::note("test data absent: opening the book from an archive is not measured");
        return;
    }
    const QString app = bench::linkAppFolder(dir.filePath("app"));
    const QString plain = dir.filePath("book.txt"), zipped = dir.filePath("book.zip");
    QFile f(plain);
    if (!f.open(QIODevice::WriteOnly) || f.write(book) != book.size() ||
        !writeZip(zipped, {{"book.txt", book}})) {
        bench::note("could not write the book files");
        return;
    }
    f.close();
    dlg::ScriptedDialogs dialogs;
    const std::unique_ptr<Frm_TxtViewer> started = bench::startedWindow(app, dialogs);
    Frm_TxtViewer& window = *started;
    // The two opens alternate, so a busy moment of the machine weighs on both alike.
    std::vector<double> text, entry;
    for (int run = 0; run < 7; ++run) {
        text.push_back(bench::medianMs(1, [&] { window.OpenDocument(plain, -1); }));
        entry.push_back(bench::medianMs(1, [&] { window.OpenDocument(zipped, -1); }));
    }
    std::sort(text.begin(), text.end());
    std::sort(entry.begin(), entry.end());
    const double asText = text[text.size() / 2], asEntry = entry[entry.size() / 2];
    bench::note(QStringLiteral("open the 10 MiB book as a .txt to its first spread: %1 ms")
                    .arg(asText, 0, 'f', 1));
    bench::report("open it as a ZIP entry to its first spread", asEntry, "ms", 1.5 * asText);
    bench::report("  ratio", asEntry / asText, "x", 1.5);
    bench::note(
        "  (no RAR 5 or solid RAR 4 sample of the book exists: there is no RAR writer here)");
    window.close();
}
