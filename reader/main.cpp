// The process entry: read the command line, hand the file to a reader already running or
// become the reader, then create the main window, run its load handler and show it.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <malloc.h>
#include <cstdio>
#include <optional>

#include "dialogs/Dialogs.h"
#include "session/CommandLine.h"
#include "session/Places.h"
#include "session/ReaderApplication.h"
#include "session/SessionEnd.h"
#include "session/SingleReader.h"
#include "window/Frm_TxtViewer.h"

namespace {

QString programFolder() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
}

QIcon windowIcon(const QString& hicolor) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral("%1/%2x%2/apps/%3.png")
                                 .arg(hicolor)
                                 .arg(size)
                                 .arg(QStringLiteral(READER_APP_ID));
        if (QFileInfo::exists(file)) icon.addFile(file, QSize(size, size));
    }
    return icon;
}

// Becomes the reader of the state folder, or hands the file to the one that is: the exit code
// of a start that ends here, or nothing when this one runs.
std::optional<int> handOverOrRun(SingleReader& single, const QString& file, const QString& runtime) {
    switch (single.start(file, makePrivateFolder(runtime))) {
        case SingleReader::Start::HandedOver:
            return 0;
        case SingleReader::Start::Refused: {
            const QString text = QStringLiteral(
                "루모북이 이미 실행 중이지만 파일을 넘겨주지 못했습니다.\n실행 중인 루모북을 닫은 "
                "뒤 다시 열어 주십시오.");
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
            dlg::QtDialogs().MsgBox(text, dlg::vbExclamation, QStringLiteral("루모북"));
            return 1;
        }
        case SingleReader::Start::First:
        case SingleReader::Start::Alone:
            break;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // Pages and turn surfaces are large blocks made and let go of as the spreads change: each
    // is mapped apart and given back when freed. Left to itself the allocator raises this
    // threshold past a page after the first is freed, and then keeps freed pages in its heap.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    const Places places = Places::forProgram(programFolder());
    // --help and --version need no display.
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(TL_VERSION_MAJOR)
                                                .arg(TL_VERSION_MINOR)
                                                .arg(TL_VERSION_PATCH));
    const CommandLine line = parseCommandLine(argumentsOf(argc, argv), QDir::currentPath(), places);
    if (line.done) {
        std::fputs(line.output.toUtf8().constData(), line.exitCode == 0 ? stdout : stderr);
        return line.exitCode;
    }
    places.makeFolders();

    ReaderApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qm_TextLumo"));
    QGuiApplication::setDesktopFileName(QStringLiteral(READER_APP_ID));
    // One reader per state folder: a second start shows its file in the first and ends.
    const QString runtime = runtimeFolder();
    SingleReader single(SingleReader::socketFor(runtime, places.state), places.state);
    if (const auto handed = handOverOrRun(single, line.file, runtime)) return *handed;

    QApplication::setWindowIcon(windowIcon(places.icons));
    // The reader speaks Korean whatever the system's language, its standard dialogs included.
    QTranslator qtKorean;
    if (qtKorean.load(QStringLiteral("qtbase_ko"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtKorean);
    dlg::QtDialogs dialogs;
    Frm_TxtViewer window(places, dialogs);
    dialogs.setParent(&window);
    app.setDialogs(&dialogs);
    window.setStartFile(line.file);
    QObject::connect(&single, &SingleReader::fileHanded, &window, &Frm_TxtViewer::openFromOutside);
    // Ends that are not a close (a signal, the session's end, a lost display) ask for the
    // quit; the unload runs here, once every box and count under way has returned.
    SessionEnd sessionEnd([&] { window.endRequested(); }, [&] { window.saveState(); },
                          [&] { window.saveAtExit(); });
    window.formLoad();
    int result = 0;
    if (!sessionEnd.ending() && !window.ending()) {
        window.show();
        result = QApplication::exec();
    }
    window.endSession();
    sessionEnd.ended();
    app.setDialogs(nullptr);
    return result;
}
