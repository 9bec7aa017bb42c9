// The book frame and the layout, on a large window.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "Bench.h"
#include "Reader.h"
#include "dialogs/ScriptedDialogs.h"
#include "window/Frm_TxtViewer.h"

namespace {

// A book of `lines` numbered lines, one layout line each.
QString writeLines(const QString& path, int lines) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return QString();
    for (int i = 1; i <= lines; ++i) f.write("줄 " + QByteArray::number(i) + "\r\n");
    return path;
}

}  // namespace

BENCHMARK(90, frame) {
    dlg::ScriptedDialogs dialogs;
    // The layout alone, on a window with no book.
    double resize = 0;
    {
        Frm_TxtViewer bare(QStringLiteral(TL_APP_DIR), dialogs);
        bare.resize(1920, 1080);
        bare.show();
        QApplication::processEvents();
        bool wide = false;
        resize = bench::medianMs(31, [&] {
            wide = !wide;
            bare.resize(wide ? 1920 : 1600, wide ? 1080 : 900);
            QApplication::processEvents();
        });
    }
    QTemporaryDir dir;
    const QString app = bench::linkAppFolder(dir.filePath(QStringLiteral("app")));
    const std::unique_ptr<Frm_TxtViewer> started = bench::startedWindow(app, dialogs);
    Frm_TxtViewer& window = *started;
    window.setWindowState(Qt::WindowNoState);
    window.resize(1920, 1080);
    QApplication::processEvents();
    // A book of 400 pages in this layout, open at its middle.
    const QString book = dir.filePath(QStringLiteral("book.txt"));
    window.OpenDocument(writeLines(book, 1000), -1);
    window.OpenDocument(writeLines(book, 400 * window.pages().linesPerPage), -1);
    window.pageBar().setValue(201);
    bench::report("PaintBookFrame, 1920 x 1080, 400 pages",
                  bench::medianMs(51, [&] { window.PaintBookFrame(); }), "ms", 10);
    bench::report("resize 1600 x 900 <-> 1920 x 1080 with layout", resize, "ms", 50);
}
