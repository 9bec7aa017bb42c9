// What the user's process pays: the reader started as a person starts it, with a book named on
// the command line, on a 1600 x 900 X screen with a window manager, measured at idle. Its peak
// resident size (VmHWM) with no book, the 10 MiB bench book and 200 MB books in CP949 and UTF-8,
// and the processor time it took to get there.

#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <vector>

#include "Bench.h"
#include "Book.h"

namespace {

// A private X server and window manager for the group; nothing when Xvfb is missing.
class Screen {
public:
    bool start() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) return false;
        for (int n = 170; n < 200 && m_display.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) continue;
            m_x.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), "-screen", "0",
                                               "1600x900x24", "-nolisten", "tcp"});
            if (!m_x.waitForStarted(3000)) return false;
            for (int i = 0; i < 50 && !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n));
                 ++i)
                QThread::msleep(50);
            if (m_x.state() == QProcess::Running) m_display = QStringLiteral(":%1").arg(n);
        }
        if (m_display.isEmpty()) return false;
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("DISPLAY"), m_display);
        m_env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
            m_wm.setProcessEnvironment(m_env);
            m_wm.start(QStringLiteral("openbox"), {});
            QThread::msleep(500);
        }
        return true;
    }
    ~Screen() {
        for (QProcess* p : {&m_wm, &m_x}) {
            p->terminate();
            if (!p->waitForFinished(2000)) p->kill();
        }
    }
    const QProcessEnvironment& env() const { return m_env; }

private:
    QProcess m_x, m_wm;
    QString m_display;
    QProcessEnvironment m_env;
};

// A field of /proc/PID/status in KiB, or of /proc/PID/stat the processor time in ticks.
qint64 statusKiB(qint64 pid, const char* field) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ')[0].toLongLong();
    return -1;
}

qint64 cpuTicks(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray stat = f.readAll();
    // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

struct Idle {
    double peakMiB = 0, cpuSeconds = 0;
    bool ok = false;
};

// Starts a copy of the application folder with book ("" for none) and waits until it has used
// no processor time for a second.
Idle measureOnce(const Screen& screen, const QString& book) {
    Idle r;
    QTemporaryDir dir;
    const QString app = dir.filePath(QStringLiteral("app"));
    if (QProcess::execute(QStringLiteral("cp"), {"-a", QStringLiteral(TL_APP_DIR), app}) != 0)
        return r;
    QProcess reader;
    reader.setProcessEnvironment(screen.env());
    reader.setStandardOutputFile(QProcess::nullDevice());
    reader.setStandardErrorFile(QProcess::nullDevice());
    reader.start(app + QStringLiteral("/Qm_TextLumo"),
                 book.isEmpty() ? QStringList() : QStringList{book});
    if (!reader.waitForStarted(5000)) return r;
    const qint64 pid = reader.processId();
    const long hz = sysconf(_SC_CLK_TCK);
    qint64 last = -1;
    int still = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 && reader.state() == QProcess::Running && still < 10) {
        QThread::msleep(100);
        const qint64 ticks = cpuTicks(pid);
        still = ticks == last && clock.elapsed() > 1500 ? still + 1 : 0;
        last = ticks;
    }
    r.ok = still >= 10;
    r.peakMiB = statusKiB(pid, "VmHWM:") / 1024.0;
    r.cpuSeconds = double(last) / double(hz > 0 ? hz : 100);
    reader.kill();
    reader.waitForFinished(3000);
    return r;
}

void measure(const Screen& screen, const QString& label, const QString& book, int runs,
             double targetMiB) {
    std::vector<Idle> all;
    for (int i = 0; i < runs; ++i) all.push_back(measureOnce(screen, book));
    std::sort(all.begin(), all.end(),
              [](const Idle& a, const Idle& b) { return a.peakMiB < b.peakMiB; });
    const Idle& m = all[all.size() / 2];
    if (!m.ok) bench::note(QStringLiteral("process: %1 did not come to rest").arg(label));
    bench::report(QStringLiteral("process at idle, %1: peak resident").arg(label), m.peakMiB,
                  QStringLiteral("MiB"), targetMiB);
    bench::note(QStringLiteral("  (processor time to idle: %1 s)").arg(m.cpuSeconds, 0, 'f', 2));
}

// The works of the test data in UTF-8, repeated to `bytes`.
bool writeUtf8Book(const QString& path, qint64 bytes) {
    QByteArray works;
    for (const QFileInfo& f : QDir(QStringLiteral(TL_TESTDATA_DIR "/text"))
                                  .entryInfoList({QStringLiteral("*.utf8.txt")}, QDir::Files)) {
        QFile in(f.filePath());
        if (in.open(QIODevice::ReadOnly)) works += in.readAll();
    }
    QFile out(path);
    if (works.isEmpty() || !out.open(QIODevice::WriteOnly)) return false;
    while (out.size() < bytes) out.write(works);
    return true;
}

}  // namespace

BENCHMARK(85, process) {
    const QByteArray book = bench::buildBook(QStringLiteral(TL_TESTDATA_DIR "/text"));
    Screen screen;
    if (book.isEmpty() || !screen.start()) {
        bench::note(QStringLiteral("process: no test data or no Xvfb: the group is skipped"));
        return;
    }
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("book.txt"));
    const QString large = dir.filePath(QStringLiteral("large.txt"));
    const QString utf8 = dir.filePath(QStringLiteral("large.utf8.txt"));
    {
        QFile f(small), g(large);
        if (!f.open(QIODevice::WriteOnly) || f.write(book) != book.size() ||
            !g.open(QIODevice::WriteOnly))
            return;
        while (g.size() < qint64(200) * 1000 * 1000) g.write(book);
    }
    if (!writeUtf8Book(utf8, qint64(200) * 1000 * 1000)) return;
    const auto mib = [](const QString& path) { return QFileInfo(path).size() / 1048576.0; };
    measure(screen, QStringLiteral("no book"), QString(), 3, 50);
    measure(screen, QStringLiteral("the 10 MiB CP949 book"), small, 3, 48);
    measure(screen, QStringLiteral("a 200 MB CP949 book"), large, 1, mib(large));
    measure(screen, QStringLiteral("a 200 MB UTF-8 book"), utf8, 1, mib(utf8));
}
