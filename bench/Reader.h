#pragma once
// A reader window for the benchmarks: an application folder reaching the built skin, control
// library and banner, and a window started as Main starts it.

#include <QString>
#include <memory>

#include "session/StateFiles.h"

class Frm_TxtViewer;
namespace dlg {
class Dialogs;
}

namespace bench {

// The appearance the benchmarks read in: NanumGothic 12 pt, line spacing 7, a cream page.
statefiles::ReadingSettings readingSettings();
// Makes dir an application folder; returns it.
QString linkAppFolder(const QString& dir);
// A 1920 x 1080 reader window in app, past its deferred start-up.
std::unique_ptr<Frm_TxtViewer> startedWindow(const QString& app, dlg::Dialogs& dialogs);
// Shows spread `page` and paints it into the window's backing store now: the pages are painted
// as they show, so a spread's cost is both.
void showSpread(Frm_TxtViewer& window, int page);
// Paints the spread on screen into the window's backing store now.
void paintSpread(Frm_TxtViewer& window);

}  // namespace bench
