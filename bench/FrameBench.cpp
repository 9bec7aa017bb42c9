// The book frame and the layout, on a large window.

#include <QApplication>

#include "Bench.h"
#include "dialogs/ScriptedDialogs.h"
#include "window/Frm_TxtViewer.h"

BENCHMARK(90, frame) {
    dlg::ScriptedDialogs dialogs;
    Frm_TxtViewer window(QStringLiteral(TL_APP_DIR), dialogs);
    window.resize(1920, 1080);
    window.show();
    QApplication::processEvents();
    window.PageCount = 400;
    window.CurrentPage = 201;
    bench::report("PaintBookFrame, 1920 x 1080, 400 pages",
                  bench::medianMs(51, [&] { window.PaintBookFrame(); }), "ms", 10);
    bool wide = false;
    bench::report("resize 1600 x 900 <-> 1920 x 1080 with layout",
                  bench::medianMs(31,
                                  [&] {
                                      wide = !wide;
                                      window.resize(wide ? 1920 : 1600, wide ? 1080 : 900);
                                      QApplication::processEvents();
                                  }),
                  "ms", 50);
}
