#pragma once
// A reader window for the benchmarks: an application folder reaching the built skin, control
// library and banner, and a window started as Main starts it.

#include <QString>
#include <memory>

class Frm_TxtViewer;
namespace dlg {
class Dialogs;
}

namespace bench {

// Makes dir an application folder; returns it.
QString linkAppFolder(const QString& dir);
// A 1920 x 1080 reader window in app, past its deferred start-up.
std::unique_ptr<Frm_TxtViewer> startedWindow(const QString& app, dlg::Dialogs& dialogs);

}  // namespace bench
