#include "Reader.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include "../tests/common/Controls.h"
#include "forms/Timer.h"
#include "window/Frm_TxtViewer.h"

namespace bench {

statefiles::ReadingSettings readingSettings() {
    statefiles::ReadingSettings s;
    s.setFontName(QStringLiteral("NanumGothic"));
    s.FontSize = 12;
    s.FontSizeIndex = 4;
    s.PageColor = 0x00EDF9FF;
    s.LineSpacing = 7;
    s.LineSpacingIndex = 6;
    s.SpacingValue0 = 1;
    return s;
}

QString linkAppFolder(const QString& dir) {
    QDir().mkpath(dir);
    for (const char* part : {"skin", "ocx", "banner"})
        QFile::link(QStringLiteral(TL_APP_DIR "/") + part, dir + "/" + part);
    return dir;
}

std::unique_ptr<Frm_TxtViewer> startedWindow(const QString& app, dlg::Dialogs& dialogs) {
    auto window = std::make_unique<Frm_TxtViewer>(app, dialogs);
    window->formLoad();
    window->setWindowState(Qt::WindowNoState);
    window->resize(1920, 1080);
    window->show();
    emit control<forms::Timer>(*window, "TmrPlay")->timeout();
    QApplication::processEvents();
    return window;
}

void showSpread(Frm_TxtViewer& window, int page) {
    window.ShowSpread(page, 0);
    paintSpread(window);
}

void paintSpread(Frm_TxtViewer& window) {
    control<QWidget>(window, "PicReadIn")->repaint();
}

}  // namespace bench
