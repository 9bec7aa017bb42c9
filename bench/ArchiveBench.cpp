// Books inside archives: listing a ZIP of 1,000 entries, and opening the 10 MiB book as a ZIP
// entry against opening it as a plain file, each to its first spread on screen.

#include <archive.h>
#include <archive_entry.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "Bench.h"
#include "Book.h"
#include "dialogs/ScriptedDialogs.h"
#include "documents/cUnzip.h"
#include "forms/Timer.h"
#include "window/Frm_TxtViewer.h"

namespace {

// A ZIP of the given (name, bytes) entries, deflated, with UTF-8 names.
bool writeZip(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_set_options(a, "zip:hdrcharset=UTF-8");
    bool ok = archive_write_open_filename(a, path.toUtf8().constData()) == ARCHIVE_OK;
    for (const auto& [name, bytes] : entries) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, name.toUtf8().constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, bytes.size());
        ok = ok && archive_write_header(a, e) == ARCHIVE_OK &&
             archive_write_data(a, bytes.constData(), size_t(bytes.size())) == bytes.size();
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

}  // namespace

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
    const QString app = dir.filePath("app");
    QDir().mkpath(app);
    for (const char* part : {"skin", "ocx", "banner"})
        QFile::link(QStringLiteral(TL_APP_DIR "/") + part, app + "/" + part);
    const QString plain = dir.filePath("book.txt"), zipped = dir.filePath("book.zip");
    QFile f(plain);
    if (!f.open(QIODevice::WriteOnly) || f.write(book) != book.size() ||
        !writeZip(zipped, {{"book.txt", book}})) {
        bench::note("could not write the book files");
        return;
    }
    f.close();
    dlg::ScriptedDialogs dialogs;
    Frm_TxtViewer window(app, dialogs);
    window.formLoad();
    window.setWindowState(Qt::WindowNoState);
    window.resize(1920, 1080);
    window.show();
    emit window.TmrPlay->timeout();
    QApplication::processEvents();
    const double asText = bench::medianMs(5, [&] { window.OpenDocument(plain, -1); });
    const double asEntry = bench::medianMs(5, [&] { window.OpenDocument(zipped, -1); });
    bench::note(QStringLiteral("open the 10 MiB book as a .txt to its first spread: %1 ms")
                    .arg(asText, 0, 'f', 1));
    bench::report("open it as a ZIP entry to its first spread", asEntry, "ms", 1.5 * asText);
    bench::report("  ratio", asEntry / asText, "x", 1.5);
    bench::note(
        "  (no RAR 5 or solid RAR 4 sample of the book exists: there is no RAR writer here)");
    window.close();
}
