// Where the reader's files are, for a built application folder and for an installed reader.

#include "session/Places.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kName = QStringLiteral("qm-textlumo");

// An XDG base folder is used only when it is an absolute path; else the default under HOME.
QString baseFolder(const QProcessEnvironment& env, const char* variable, const char* underHome) {
    const QString value = env.value(QString::fromLatin1(variable));
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
    QString home = env.value(QStringLiteral("HOME"));
    if (home.isEmpty() || !QDir::isAbsolutePath(home)) home = QDir::homePath();
    return QDir::cleanPath(home + QLatin1Char('/') + QString::fromLatin1(underHome));
}

// Installed: bin/ of a prefix whose share/ holds the reader's files, and no skin beside it. Any
// other folder is an application folder (one that lost its ocx/ still is, and says so).
bool isInstalled(const QString& folder) {
    return !QFileInfo(folder + QStringLiteral("/skin")).isDir() &&
           QFileInfo(folder + QStringLiteral("/../share/") + kName).isDir();
}

// The session's runtime folder, when the environment names one that is there.
QString xdgRuntime(const QProcessEnvironment& env) {
    const QString value = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (value.isEmpty() || !QDir::isAbsolutePath(value) || !QFileInfo(value).isDir()) return {};
    return QDir::cleanPath(value);
}

}  // namespace

Places Places::besideProgram(const QString& appPath) {
    Places p;
    p.skin = appPath + QStringLiteral("/skin");
    p.banner = appPath + QStringLiteral("/banner");
    p.controls = appPath + QStringLiteral("/ocx");
    p.icons = appPath + QStringLiteral("/icons/hicolor");
    p.state = appPath;
    p.extract = appPath + QStringLiteral("/TmpZip");
    return p;
}

Places Places::forProgram(const QString& programFolder, const QProcessEnvironment& env) {
    const QString folder = QDir::cleanPath(programFolder);
    Places p;
    if (!isInstalled(folder)) {
        p = besideProgram(folder);
        if (QFileInfo(folder).isWritable()) return p;
    } else {
        // Installed: bin/ beside share/ and lib/ of the same prefix.
        const QString prefix = QDir::cleanPath(folder + QStringLiteral("/.."));
        p.skin = prefix + QStringLiteral("/share/") + kName + QStringLiteral("/skin");
        p.banner = prefix + QStringLiteral("/share/") + kName + QStringLiteral("/banner");
        p.controls = prefix + QStringLiteral("/lib/") + kName;
        p.icons = prefix + QStringLiteral("/share/icons/hicolor");
    }
    p.perUser = true;
    p.state = baseFolder(env, "XDG_STATE_HOME", ".local/state") + QLatin1Char('/') + kName;
    const QString runtime = xdgRuntime(env);
    p.extract = (runtime.isEmpty() ? baseFolder(env, "XDG_CACHE_HOME", ".cache") : runtime) +
                QLatin1Char('/') + kName + QStringLiteral("/TmpZip");
    return p;
}

bool Places::makeFolders() const {
    if (!perUser) return true;
    // The extract folder itself is made (as a real folder) by the reader at start.
    return makePrivateFolder(state) && makePrivateFolder(QFileInfo(extract).path());
}

QString runtimeFolder(const QProcessEnvironment& env) {
    const QString runtime = xdgRuntime(env);
    if (!runtime.isEmpty()) return runtime + QLatin1Char('/') + kName;
    return QDir::tempPath() + QLatin1Char('/') + kName + QLatin1Char('-') +
           QString::number(::getuid());
}

bool makePrivateFolder(const QString& folder) {
    if (folder.isEmpty()) return false;
    const QString parent = QFileInfo(folder).path();
    if (!QFileInfo(parent).isDir() && !QDir().mkpath(parent)) return false;
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
    // Whatever stands there must be this user's own folder, not a link someone left.
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 0077) != 0 && ::chmod(path.constData(), 0700) != 0) return false;
    return true;
}
