// Runs every registered benchmark group and prints medians and ratios.

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "Bench.h"

namespace bench {

namespace {
std::multimap<int, std::pair<const char*, std::function<void()>>>& registry() {
    static std::multimap<int, std::pair<const char*, std::function<void()>>> r;
    return r;
}
int g_missed = 0;
}  // namespace

Registrar::Registrar(int order, const char* name, std::function<void()> run) {
    registry().emplace(order, std::make_pair(name, std::move(run)));
}

double medianMs(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        body();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const QString& name, double value, const QString& unit, double target,
            bool higherIsBetter) {
    const bool ok = higherIsBetter ? value >= target : value <= target;
    if (!ok) ++g_missed;
    std::printf("%-58s %10.2f %-3s (target %s %g %s) %s\n", name.toUtf8().constData(), value,
                unit.toUtf8().constData(), higherIsBetter ? ">=" : "<=", target,
                unit.toUtf8().constData(), ok ? "ok" : "MISSED");
    std::fflush(stdout);
}

void countMissed(int n) {
    g_missed += n;
}

bool isScaledChild() {
    return qEnvironmentVariableIsSet("TL_BENCH_SCALED_CHILD");
}

void runScaled(const char* group, double scale) {
    // A screen large enough for a 1920 x 1080 window at any scale up to 2.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile f(config);
    if (!dir.isValid() || !f.open(QIODevice::WriteOnly) ||
        f.write(R"({ "screens": [ { "name": "4k", "width": 3840, "height": 2160 } ] })") <= 0) {
        note(QStringLiteral("could not write a screen for the scaled run"));
        ++g_missed;
        return;
    }
    f.close();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
    env.insert(QStringLiteral("TL_BENCH_SCALED_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(group)});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        note(QStringLiteral("the run at scale %1 failed").arg(scale));
        ++g_missed;
        return;
    }
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        if (line.isEmpty() || line.startsWith("== ") || line == "all targets met" ||
            line == "some targets MISSED")
            continue;
        if (line.endsWith("MISSED")) ++g_missed;
        std::printf("%s\n", line.constData());
    }
    std::fflush(stdout);
}

void note(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

double peakMemoryMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

double currentMemoryMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * getpagesize() / (1024.0 * 1024.0) : 0;
}

}  // namespace bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (auto& [order, entry] : bench::registry()) {
        // The soak run takes minutes: it runs only when asked for by name.
        if (only.isEmpty() ? QLatin1String(entry.first) == QLatin1String("soak")
                           : only != QLatin1String(entry.first))
            continue;
        std::printf("== %s\n", entry.first);
        entry.second();
    }
    std::printf("%s\n", bench::g_missed == 0 ? "all targets met" : "some targets MISSED");
    return 0;
}
