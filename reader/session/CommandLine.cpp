// Parsing the command line with QCommandLineParser; the texts are the reader's own.

#include "session/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QUrl>

#include "session/Places.h"

QString fileFromArgument(const QString& argument, const QString& workingFolder) {
    if (argument.isEmpty()) return {};
    if (argument.contains(QLatin1String("://")) &&
        !argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return {};
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        return url.isValid() && url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
    }
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(argument));
}

CommandLine parseCommandLine(const QStringList& arguments, const QString& workingFolder,
                             const Places& places) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("루모북: 텍스트 파일(txt)과 압축파일(zip, rar) 속의 책을 펼친 책처럼 "
                       "읽습니다.\n\n"
                       "읽던 곳과 설정: %1\n압축을 푸는 폴더: %2\n%3\n"
                       "프로그램 폴더(skin/과 ocx/가 있는 폴더)에 쓸 수 있으면 모두 그 폴더에 "
                       "둡니다. 설치된 프로그램이나 쓸 수 없는 폴더에서는 상태 파일을 "
                       "$XDG_STATE_HOME/qm-textlumo (~/.local/state/qm-textlumo)에, 압축을 푸는 "
                       "폴더를 $XDG_RUNTIME_DIR/qm-textlumo/TmpZip (없으면 "
                       "$XDG_CACHE_HOME/qm-textlumo/TmpZip)에 둡니다.")
            .arg(places.state, places.extract,
                 places.perUser ? QStringLiteral("(사용자별 폴더)")
                                : QStringLiteral("(프로그램 폴더)")));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("이 도움말을 보입니다."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("버전을 보입니다."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("파일"),
        QStringLiteral("열 책: txt, zip 또는 rar 파일의 경로나 file:// 주소. 이미 실행 중인 "
                       "루모북이 있으면 그 창에서 엽니다."),
        QStringLiteral("[파일]"));

    CommandLine result;
    const auto fail = [&](const QString& why) {
        result.done = true;
        result.exitCode = 2;
        result.output = QStringLiteral("Qm_TextLumo: %1\n도움말은 Qm_TextLumo --help 로 봅니다.\n")
                            .arg(why);
        return result;
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (parser.isSet(help)) {
        result.done = true;
        result.output = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                  QStringLiteral("Qm_TextLumo"));
        return result;
    }
    if (parser.isSet(version)) {
        result.done = true;
        result.output = QStringLiteral("Qm_TextLumo %1\n").arg(QCoreApplication::applicationVersion());
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return fail(QStringLiteral("파일은 하나만 열 수 있습니다."));
    if (!files.isEmpty()) {
        // What names no local file (a web address) is still offered, to be refused as the open
        // button refuses it.
        result.file = fileFromArgument(files.first(), workingFolder);
        if (result.file.isEmpty()) result.file = files.first();
    }
    return result;
}
