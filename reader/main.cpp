// The process entry: create the main window, run its load handler and show it.

#include <QApplication>

#include "dialogs/Dialogs.h"
#include "files/Files.h"
#include "window/Frm_TxtViewer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qm_TextLumo"));
    dlg::QtDialogs dialogs;
    Frm_TxtViewer window(files::AppPath(), dialogs);
    dialogs.setParent(&window);
    window.formLoad();
    window.show();
    return QApplication::exec();
}
