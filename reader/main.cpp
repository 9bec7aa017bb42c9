// The process entry: create the main window, run its load handler and show it.

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "dialogs/Dialogs.h"
#include "files/Files.h"
#include "window/Frm_TxtViewer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qm_TextLumo"));
    // The reader speaks Korean whatever the system's language, its standard dialogs included.
    QTranslator qtKorean;
    if (qtKorean.load(QStringLiteral("qtbase_ko"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtKorean);
    dlg::QtDialogs dialogs;
    Frm_TxtViewer window(files::AppPath(), dialogs);
    dialogs.setParent(&window);
    window.formLoad();
    window.show();
    return QApplication::exec();
}
