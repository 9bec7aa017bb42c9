// The reader with a 10 MiB book: resuming it at start-up, drawing a spread, and memory.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "Bench.h"
#include "Book.h"
#include "dialogs/ScriptedDialogs.h"
#include "forms/Timer.h"
#include "window/Frm_TxtViewer.h"
#include "window/StateFiles.h"
#include "window/WindowFile.h"

namespace {

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// An application folder that resumes the book at spread 101 in a 1920 x 1080 window.
bool prepare(const QString& dir, const QByteArray& book) {
    QFile::link(QStringLiteral(TL_APP_DIR "/skin"), dir + "/skin");
    QFile::link(QStringLiteral(TL_APP_DIR "/ocx"), dir + "/ocx");
    QFile::link(QStringLiteral(TL_APP_DIR "/banner"), dir + "/banner");
    const QString path = dir + "/book.txt";
    statefiles::DocumentState d;
    d.documentPath = path;
    statefiles::ReadingSettings s;
    s.setFontName(QStringLiteral("NanumGothic"));
    s.FontSize = 12;
    s.FontSizeIndex = 4;
    s.PageColor = 0x00EDF9FF;
    s.LineSpacing = 7;
    s.LineSpacingIndex = 6;
    s.SpacingValue0 = 1;
    windowfile::Record r;
    r.placement = {0, 0, 1920 * 15, 1080 * 15};
    r.currentPage = 101;
    r.pageCount = 4000;
    return write(path, book) &&
           write(dir + "/" + statefiles::kDocumentFile, statefiles::encodeDocument(d)) &&
           write(dir + "/" + statefiles::kSettingsFile, statefiles::encode(s)) &&
           write(dir + "/" + windowfile::fileName(), windowfile::encode(r));
}

}  // namespace

BENCHMARK(20, reader) {
    QTemporaryDir dir;
    {
        // The book lives only in its file: the figures are the reader's, not the bench's.
        const QByteArray book = bench::buildBook(QStringLiteral(TL_TESTDATA_DIR "/text"));
        if (book.isEmpty()) {
            bench::note("test data absent: the reader benchmarks are skipped");
            return;
        }
        if (!prepare(dir.path(), book)) {
            bench::note("could not prepare the application folder");
            return;
        }
    }
    dlg::ScriptedDialogs dialogs;
    dialogs.answerMsgBox(dlg::vbYes);

    // Start-up as Main runs it, then the deferred part timed on its own: from the start-up
    // timer to the saved spread on screen (the timer's fixed 200 ms wait is by design).
    QElapsedTimer total;
    total.start();
    Frm_TxtViewer window(dir.path(), dialogs);
    window.formLoad();
    window.setWindowState(Qt::WindowNoState);
    window.show();
    QApplication::processEvents();
    const double loaded = total.nsecsElapsed() / 1e6;
    window.TmrPlay->setEnabled(false);
    QElapsedTimer resume;
    resume.start();
    emit window.TmrPlay->timeout();
    const double resumed = resume.nsecsElapsed() / 1e6;
    bench::report("start-up resume: timer to the first spread on screen", resumed, "ms", 250);
    bench::note(QStringLiteral("  (window created and shown before it: %1 ms; with the 200 ms wait "
                               "a start takes about %2 ms)")
                    .arg(loaded, 0, 'f', 1)
                    .arg(loaded + 200 + resumed, 0, 'f', 0));
    if (window.DocumentLength == 0) {
        bench::note("the book was not resumed");
        return;
    }
    window.resize(1920, 1080);
    QApplication::processEvents();

    int page = 1;
    const double spread = bench::medianMs(101, [&] {
        page = page > 200 ? 1 : page + 2;
        window.CurrentPage = page;
        window.ShowSpread(page, 0);
    });
    bench::report("ShowSpread without animation, 1920 x 1080", spread, "ms", 5);
    bench::report("peak memory with the book open", bench::peakMemoryMiB(), "MiB", 120);
}
