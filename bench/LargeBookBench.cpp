// The largest books readers bring: 200 MB, opened through the open button's path, to its first
// spread; the time it takes and the memory it holds.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The process's peak resident size since the last reset, in MiB (0 where Linux cannot tell).
double residentPeakMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// Starts the peak over from the size the process has now.
bool resetResidentPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

}  // namespace

#include "Bench.h"
#include "Book.h"
#include "Reader.h"
#include "dialogs/ScriptedDialogs.h"
#include "window/Frm_TxtViewer.h"

BENCHMARK(80, large) {
    const QByteArray book = bench::buildBook(QStringLiteral(TL_TESTDATA_DIR "/text"));
    if (book.isEmpty()) {
        bench::note("test data absent: the large book is skipped");
        return;
    }
    QTemporaryDir dir;
    const QString app = bench::linkAppFolder(dir.filePath("app"));
    const QString path = dir.filePath("large.txt");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return;
        while (f.size() < qint64(200) * 1000 * 1000) f.write(book);
    }
    const double fileMiB = QFileInfo(path).size() / 1048576.0;

    dlg::ScriptedDialogs dialogs;
    const std::unique_ptr<Frm_TxtViewer> window = bench::startedWindow(app, dialogs);
    const double before = bench::currentMemoryMiB();
    const bool peakKnown = resetResidentPeak();
    QElapsedTimer clock;
    clock.start();
    window->OpenDocument(path, -1);
    QApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    bench::note(QStringLiteral("a %1 MiB CP949 book: %2 pages at 1920 x 1080")
                    .arg(fileMiB, 0, 'f', 0)
                    .arg(window->PageCount));
    bench::report("open a 200 MB book to its first spread", ms, "ms", 5000);
    bench::report("  memory it holds", bench::currentMemoryMiB() - before, "MiB", 1024);
    if (peakKnown) {
        const double peak = residentPeakMiB() - before;
        bench::report("  peak resident size while opening", peak, "MiB", 1.5 * fileMiB);
        bench::report("  peak / file size", peak / fileMiB, "x", 1.5);
    }
    window->close();
}
