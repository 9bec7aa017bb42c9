// The process entry: create the main window, run its load handler and show it.

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "dialogs/Dialogs.h"
#include "files/Files.h"
#include "session/ReaderApplication.h"
#include "session/SessionEnd.h"
#include "window/Frm_TxtViewer.h"

int main(int argc, char** argv) {
    ReaderApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qm_TextLumo"));
    // The reader speaks Korean whatever the system's language, its standard dialogs included.
    QTranslator qtKorean;
    if (qtKorean.load(QStringLiteral("qtbase_ko"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtKorean);
    dlg::QtDialogs dialogs;
    Frm_TxtViewer window(files::AppPath(), dialogs);
    dialogs.setParent(&window);
    app.setDialogs(&dialogs);
    // Ends that are not a close still save the place and empty the extract folder.
    SessionEnd sessionEnd([&] { window.endSession(); }, [&] { window.saveState(); },
                          [&] { window.saveAtExit(); });
    window.formLoad();
    window.show();
    const int result = QApplication::exec();
    app.setDialogs(nullptr);
    return result;
}
