// The reader with a 10 MiB book: resuming it at start-up, drawing a spread, and memory.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "../tests/common/Controls.h"
#include "Bench.h"
#include "Book.h"
#include "Reader.h"
#include "dialogs/ScriptedDialogs.h"
#include "forms/PictureBox.h"
#include "forms/Timer.h"
#include "graphics/Raster.h"
#include "pages/PageRenderer.h"
#include "session/SettledSave.h"
#include "session/StateFiles.h"
#include "textbox/TextBox.h"
#include "window/Frm_TxtViewer.h"
#include "window/WindowFile.h"

namespace {

bool write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// An application folder that resumes the book at spread 1 in a 1920 x 1080 window, with the
// settings file or without it (the default appearance then applies).
bool prepare(const QString& dir, const QByteArray& book, bool withSettings) {
    bench::linkAppFolder(dir);
    const QString path = dir + "/book.txt";
    statefiles::DocumentState d;
    d.documentPath = path;
    const statefiles::ReadingSettings s = bench::readingSettings();
    windowfile::Record r;
    r.placement = {0, 0, 1920 * 15, 1080 * 15};
    r.currentPage = 1;
    r.pageCount = 4000;
    return write(path, book) &&
           write(dir + "/" + statefiles::kDocumentFile, statefiles::encodeDocument(d)) &&
           (!withSettings || write(dir + "/" + statefiles::kSettingsFile, statefiles::encode(s))) &&
           write(dir + "/" + windowfile::fileName(), windowfile::encode(r));
}

// A reader started as Main starts it in dir; the deferred part is timed on its own: from the
// start-up timer to the saved spread on screen (the timer's fixed 200 ms wait is by design).
struct Resumed {
    std::unique_ptr<Frm_TxtViewer> window;
    double loadedMs = 0;
    double resumedMs = 0;
};

Resumed resume(const QString& dir, dlg::Dialogs& dialogs) {
    Resumed r;
    QElapsedTimer total;
    total.start();
    r.window = std::make_unique<Frm_TxtViewer>(dir, dialogs);
    r.window->formLoad();
    r.window->setWindowState(Qt::WindowNoState);
    r.window->show();
    QApplication::processEvents();
    r.loadedMs = total.nsecsElapsed() / 1e6;
    control<forms::Timer>(*r.window, "TmrPlay")->setEnabled(false);
    QElapsedTimer clock;
    clock.start();
    emit control<forms::Timer>(*r.window, "TmrPlay")->timeout();
    r.resumedMs = clock.nsecsElapsed() / 1e6;
    return r;
}

// The least a spread can cost: the lines of pages 1 to 200, two by two, drawn with
// QPainter::drawText into one image of the spread's size, on the page colour.
double drawTextFloor(Frm_TxtViewer& window) {
    // Cut into rows as the reader cuts them, by the page renderer.
    pages::PageRenderer renderer;
    pages::PageLook look;
    look.font = control<forms::PictureBox>(window, "PicRead", 0)->font();
    look.lineHeight = window.pages().lineHeight;
    look.linesPerPage = window.pages().linesPerPage;
    look.size = control<forms::PictureBox>(window, "PicRead", 0)->size();
    std::vector<QStringList> pages;
    for (int p = 1; p <= 202; ++p) {
        const PageSlice slice = window.PageText(p);
        QStringList lines;
        for (const auto& [from, to] : renderer.layOut(slice, look).shown)
            lines << slice.text.mid(from, to - from).remove('\r').remove('\n');
        pages.push_back(lines);
    }
    // At the screen's ratio, as the reader's own surfaces are.
    QImage image = gdi::raster::surface(control<forms::PictureBox>(window, "PicReadIn")->size(),
                                        window.devicePixelRatioF());
    const int pw = control<forms::PictureBox>(window, "PicRead", 0)->width();
    const QFont font = control<forms::PictureBox>(window, "PicRead", 0)->font();
    int p = 0;
    return bench::medianMs(101, [&] {
        p = p >= 200 ? 0 : p + 2;
        image.fill(QColor(255, 249, 237));
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        for (int side = 0; side < 2; ++side) {
            int y = 50;
            for (const QString& line : pages[size_t(p + side)]) {
                painter.drawText(QPoint(side * (pw + 1) + 30, y + painter.fontMetrics().ascent()),
                                 line);
                y += window.pages().lineHeight;
            }
        }
    });
}

// Appearance changes in the resumed window: a size change to the new spread on screen beside
// the bare re-wrap it contains, and a palette colour, which only redraws.
void appearanceChanges(Frm_TxtViewer& window, double spreadMs) {
    window.pageBar().setValue(window.pages().count / 2 | 1);
    const QFont base = control<textbox::TextBox>(window, "RichTextBox1")->font();
    int flip = 0;
    const double wrap = bench::medianMs(7, [&] {
        QFont f = base;
        f.setPointSize(++flip % 2 ? 14 : 12);
        control<textbox::TextBox>(window, "RichTextBox1")->setFont(f);
        control<textbox::TextBox>(window, "RichTextBox1")->lineCount();
    });
    control<textbox::TextBox>(window, "RichTextBox1")->setFont(base);
    control<textbox::TextBox>(window, "RichTextBox1")->lineCount();
    const int twelve = control<QComboBox>(window, "Cb_FontSize")->findText("12"),
              fourteen = control<QComboBox>(window, "Cb_FontSize")->findText("14");
    const double change = bench::medianMs(7, [&] {
        control<QComboBox>(window, "Cb_FontSize")
            ->setCurrentIndex(control<QComboBox>(window, "Cb_FontSize")->currentIndex() == twelve
                                  ? fourteen
                                  : twelve);
        window.Cb_FontSize_Click();
        bench::paintSpread(window);
    });
    bench::report("font size change to the new spread, 1920 x 1080", change, "ms", 120);
    bench::note(
        QStringLiteral("  (the bare re-wrap of the book it contains: %1 ms)").arg(wrap, 0, 'f', 1));
    window.cmdbgcolor_Click();
    int cell = 0;
    const double colour = bench::medianMs(21, [&] {
        window.lblcolor_Click(++cell % 2 ? 18 : 22);
        bench::paintSpread(window);
    });
    bench::report("palette colour change (no recount)", colour, "ms", 2 * spreadMs);
}

// The state written as it settles: what the UI thread pays to take it (three records encoded
// and compared), what the writer thread pays to put them on disk, and a spread drawn while a
// write is under way, against one drawn with none.
void settledSave(Frm_TxtViewer& window, double spreadMs) {
    SettledSave* save = window.settledSave();
    // A new state to take each time: the turn's check box, a field of the window file.
    QCheckBox* turn = control<QCheckBox>(window, "chkline");
    auto change = [&] { turn->setChecked(!turn->isChecked()); };
    // Only the taking (and the writing) is timed, not the change.
    auto timedSave = [&](bool toDisk) {
        std::vector<double> times;
        for (int run = 0; run < 101; ++run) {
            change();
            QElapsedTimer clock;
            clock.start();
            save->saveNow();
            if (toDisk) save->flush();
            times.push_back(double(clock.nsecsElapsed()) / 1e6);
            save->flush();
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double take = timedSave(true);
    const double uiPart = timedSave(false);
    save->flush();
    turn->setChecked(false);
    bench::report("settled save: the UI thread's part (state taken, handed over)", uiPart * 1000,
                  "us", 500);
    bench::note(QStringLiteral("  (with the write to disk on the writer thread: %1 ms)")
                    .arg(take, 0, 'f', 3));
    // Only the drawing is timed: the write was handed over just before, and is on disk later.
    std::vector<double> times;
    int page = 1;
    for (int run = 0; run < 101; ++run) {
        page = page > 200 ? 1 : page + 2;
        window.pageBar().setValue(page);  // the state changes with the page
        save->saveNow();
        QElapsedTimer clock;
        clock.start();
        bench::showSpread(window, page);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        save->flush();
    }
    std::sort(times.begin(), times.end());
    const double during = times[times.size() / 2];
    bench::report("ShowSpread while the state is being written", during, "ms", 5);
    bench::report("  ratio to ShowSpread alone", during / spreadMs, "x", 1.5);
}

// A reader resumed from the book's files in a 1920 x 1080 window; null when the test data or
// the folder is missing.
std::unique_ptr<Frm_TxtViewer> resumedWindow(const QString& dir, dlg::ScriptedDialogs& dialogs) {
    const QByteArray book = bench::buildBook(QStringLiteral(TL_TESTDATA_DIR "/text"));
    if (book.isEmpty() || !prepare(dir, book, true)) return nullptr;
    dialogs.answerMsgBox(dlg::vbYes);
    Resumed r = resume(dir, dialogs);
    if (!r.window || r.window->pages().length == 0) return nullptr;
    r.window->resize(1920, 1080);
    QApplication::processEvents();
    return std::move(r.window);
}

// ShowSpread, its floor and a turn's frame on this run's screen.
void scaledFigures() {
    QTemporaryDir dir;
    dlg::ScriptedDialogs dialogs;
    std::unique_ptr<Frm_TxtViewer> window = resumedWindow(dir.path(), dialogs);
    if (!window) {
        bench::note("test data absent: the scaled-screen figures are skipped");
        return;
    }
    const qreal r = window->devicePixelRatioF();
    int page = 1;
    const double spread = bench::medianMs(101, [&] {
        page = page > 200 ? 1 : page + 2;
        bench::showSpread(*window, page);
    });
    const double floor = drawTextFloor(*window);
    const QString at = QStringLiteral(" at ratio %1").arg(r);
    bench::report("ShowSpread, 1920 x 1080" + at, spread, "ms", 5 * r * r);
    bench::note(QStringLiteral("  (the floor, drawText into one image of the spread at that ratio: "
                               "%1 ms)")
                    .arg(floor, 0, 'f', 2));
    bench::report("  ShowSpread / floor" + at, spread / floor, "x", 2);
    const bench::TurnFigures turn = bench::measureTurn(1880, 990, 62);
    bench::report("page turn frame, 1880 x 990 spread" + at, turn.frameMs, "ms", 8);
}

}  // namespace

// Drawing on a plain screen and on one scaled by 2 (as a 3840 x 2160 screen at 200 %), each
// in a process of its own, since the ratio is the screen's from the start.
BENCHMARK(22, scaled) {
    if (bench::isScaledChild()) {
        scaledFigures();
        return;
    }
    bench::runScaled("scaled", 1);
    bench::runScaled("scaled", 2);
}

BENCHMARK(20, reader) {
    QTemporaryDir dir, bare;
    {
        // The book lives only in its files: the figures are the reader's, not the bench's.
        const QByteArray book = bench::buildBook(QStringLiteral(TL_TESTDATA_DIR "/text"));
        if (book.isEmpty()) {
            bench::note("test data absent: the reader benchmarks are skipped");
            return;
        }
        if (!prepare(dir.path(), book, true) || !prepare(bare.path(), book, false)) {
            bench::note("could not prepare the application folder");
            return;
        }
    }
    dlg::ScriptedDialogs dialogs;

    // Both resumes alternate, so neither pays the first run's cold caches alone; the medians
    // are compared. The last resume with settings stays open for the figures below. Windows
    // are destroyed without closing, so no run writes state files for the next.
    std::vector<double> with, without;
    Resumed r;
    for (int run = 0; run < 5; ++run) {
        r.window.reset();
        dialogs.answerMsgBox(dlg::vbYes);
        dialogs.answerMsgBox(dlg::vbYes);
        Resumed bareRun = resume(bare.path(), dialogs);
        without.push_back(bareRun.resumedMs);
        bareRun.window.reset();
        r = resume(dir.path(), dialogs);
        with.push_back(r.resumedMs);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double withSettings = median(with), withoutSettings = median(without);
    Frm_TxtViewer& window = *r.window;
    bench::report("start-up resume: timer to the first spread on screen", withSettings, "ms", 250);
    bench::note(QStringLiteral("  (window created and shown before it: %1 ms; with the 200 ms wait "
                               "a start takes about %2 ms)")
                    .arg(r.loadedMs, 0, 'f', 1)
                    .arg(r.loadedMs + 200 + r.resumedMs, 0, 'f', 0));
    bench::report("start-up resume without a settings file", withoutSettings, "ms", 375);
    bench::report("  ratio to the resume with one", withoutSettings / withSettings, "x", 1.5);
    if (window.pages().length == 0) {
        bench::note("the book was not resumed");
        return;
    }
    window.resize(1920, 1080);
    QApplication::processEvents();

    int page = 1;
    const double spread = bench::medianMs(101, [&] {
        page = page > 200 ? 1 : page + 2;
        bench::showSpread(window, page);
    });
    bench::report("ShowSpread without animation, 1920 x 1080", spread, "ms", 5);
    bench::report("peak memory with the book open", bench::peakMemoryMiB(), "MiB", 120);
    const double floor = drawTextFloor(window);
    bench::note(
        QStringLiteral("  (the floor: the same pages' lines drawn with QPainter::drawText into one "
                       "image of the spread: %1 ms)")
            .arg(floor, 0, 'f', 2));
    bench::report("  ShowSpread / floor", spread / floor, "x", 2);
    settledSave(window, spread);
    appearanceChanges(window, spread);
}
