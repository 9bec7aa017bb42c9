#pragma once
// A private X display with a window manager, and the real reader started in a temporary
// application folder on it. Helpers run the X tools (xdotool, xprop, import) on that display.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

class XSession {
public:
    // A screen of the given size; without a window manager windows have no frame, as on a
    // desktop whose decorations scale with its display.
    explicit XSession(QSize screen = QSize(1280, 800), bool windowManager = true) {
        // A server or a window manager that does not come up (seen once in a whole run, the
        // window manager never taking the root window) is started again, with a fresh server.
        for (int attempt = 0; attempt < 3 && !m_ok; ++attempt) {
            if (attempt > 0) m_failures += QStringLiteral("; ");
            m_ok = start(screen, windowManager);
        }
    }
    ~XSession() { stop(); }

    bool ok() const { return m_ok; }
    // What went wrong on the attempts that failed, with what the server and the window manager
    // said, for the test's message.
    QString failures() const { return m_failures; }
    // The display goes away under its clients, as when the X server dies.
    void killServer() {
        m_xvfb.kill();
        m_xvfb.waitForFinished(3000);
    }
    QString display() const { return m_display; }

    QProcessEnvironment env() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("DISPLAY", m_display);
        e.insert("QT_QPA_PLATFORM", "xcb");
        e.remove("XAUTHORITY");
        return e;
    }

    // Runs a tool on this display and returns what it printed.
    QString run(const QString& program, const QStringList& args, int timeoutMs = 10000) const {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(program, args);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
        }
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QImage screenshot(const QString& path) const {
        run("import", {"-window", "root", path});
        return QImage(path);
    }

    template <typename F>
    static bool waitFor(F condition, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            if (condition()) return true;
            QThread::msleep(100);
        }
        return condition();
    }

private:
    bool start(QSize screen, bool windowManager) {
        // Xvfb picks a free display itself and tells its number, so parallel tests never
        // race for one.
        const QString size = QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height());
        m_xvfb.start(QStringLiteral("Xvfb"),
                     {"-displayfd", "1", "-screen", "0", size, "-nolisten", "tcp"});
        QByteArray number;
        waitFor(
            [&] {
                m_xvfb.waitForReadyRead(100);
                number += m_xvfb.readAllStandardOutput();
                return number.contains('\n') || m_xvfb.state() == QProcess::NotRunning;
            },
            30000);
        if (!number.contains('\n')) return failed("Xvfb named no display");
        m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        if (!windowManager) {
            return waitFor([&] { return !run("xwininfo", {"-root"}).isEmpty(); }, 30000) ||
                   failed("the display did not answer");
        }
        m_wm.setProcessEnvironment(env());
        m_wm.start(QStringLiteral("openbox"), {});
        // openbox announces itself by taking the root window's supporting-WM property; on a
        // loaded machine (the tests run side by side) that can take a while.
        bool up = false;
        waitFor(
            [&] {
                up = run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id");
                return up || m_wm.waitForFinished(0);
            },
            20000);
        return up || failed("openbox did not take the display");
    }
    // Ends both programs and notes what they said.
    bool failed(const QString& what) {
        m_failures += what + " " + m_display;
        stop();
        for (QProcess* p : {&m_wm, &m_xvfb}) {
            const QByteArray said = p->readAllStandardError().trimmed();
            if (!said.isEmpty()) m_failures += " [" + QString::fromLocal8Bit(said.right(400)) + "]";
        }
        return false;
    }
    void stop() {
        for (QProcess* p : {&m_wm, &m_xvfb}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) p->kill();
            p->waitForFinished(1000);
        }
    }

    QString m_failures;
    QString m_display;
    QProcess m_xvfb;
    QProcess m_wm;
    bool m_ok = false;
};

// A copy of the application folder in a temporary place, as a user would install it.
inline bool copyTree(const QString& from, const QString& to) {
    QDir src(from);
    if (!QDir().mkpath(to)) return false;
    for (const QFileInfo& fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + "/" + fi.fileName();
        if (fi.isDir()) {
            if (!copyTree(fi.filePath(), target)) return false;
        } else if (!QFile::copy(fi.filePath(), target)) {
            return false;
        } else {
            QFile::setPermissions(target, fi.permissions());
        }
    }
    return true;
}

// Installs the built application (program, skin, banner, control library) into app, as a user
// would copy it; false when a part is missing.
inline bool installApp(const QString& app) {
    if (!QDir().mkpath(app)) return false;
    for (const char* part : {"Qm_TextLumo", "skin", "banner", "ocx"}) {
        const QString from = QStringLiteral(TL_APP_DIR "/") + QLatin1String(part);
        const QString to = app + "/" + QLatin1String(part);
        if (!(QFileInfo(from).isDir() ? copyTree(from, to) : QFile::copy(from, to))) return false;
    }
    return QFile::setPermissions(app + "/Qm_TextLumo",
                                 QFileDevice::ExeOwner | QFileDevice::ReadOwner);
}

// Ends a program a test left running (a failed test must not leave the reader behind).
inline void stopProcess(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.kill();
    p.waitForFinished(3000);
}
