// Benchmarks: medians of repeated runs, printed one per line.

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "dialogs/ScriptedDialogs.h"
#include "window/Frm_TxtViewer.h"

namespace {

double medianMs(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dlg::ScriptedDialogs dialogs;
    Frm_TxtViewer window(QStringLiteral(TL_APP_DIR), dialogs);
    window.resize(1920, 1080);
    window.show();
    QApplication::processEvents();

    window.PageCount = 400;
    window.CurrentPage = 201;
    const double frame = medianMs(51, [&] { window.PaintBookFrame(); });
    bool wide = false;
    const double resize = medianMs(51, [&] {
        wide = !wide;
        window.resize(wide ? 1920 : 1600, wide ? 1080 : 900);
        QApplication::processEvents();
    });
    std::printf("PaintBookFrame 1920x1080, 400 pages: median %.3f ms\n", frame);
    std::printf("resize 1600x900 <-> 1920x1080 with layout: median %.3f ms\n", resize);
    return 0;
}
