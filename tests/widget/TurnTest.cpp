// The page turn in the real window: the stage shows the old spread giving way to the new one,
// frame by frame, and nothing a user does during a turn is queued as another turn.

#include <QCheckBox>
#include <QKeyEvent>
#include <QPainter>
#include <functional>

#include "../common/Controls.h"
#include "ReaderFixture.h"
#include "forms/PictureBox.h"
#include "graphics/Gdi.h"
#include "session/StateFiles.h"
#include "window/WindowFile.h"

namespace {

// Keeps a copy of the stage's image every time it is painted: one per frame shown.
class FrameRecorder : public QObject {
public:
    explicit FrameRecorder(forms::PictureBox* stage) : m_stage(stage) {
        stage->installEventFilter(this);
    }
    std::vector<QImage> frames;
    std::function<void(int)> onFrame;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && m_stage->isVisible()) {
            frames.push_back(m_stage->image());
            if (onFrame) onFrame(int(frames.size()));
        }
        return false;
    }

private:
    forms::PictureBox* m_stage;
};

// The share of sampled pixels of `region` where two images agree.
double agreement(const QImage& a, const QImage& b, const QRect& region) {
    int same = 0, all = 0;
    for (int y = region.top(); y <= region.bottom(); y += 4)
        for (int x = region.left(); x <= region.right(); x += 4) {
            ++all;
            if (a.pixel(x, y) == b.pixel(x, y)) ++same;
        }
    return all ? double(same) / all : 0;
}

class Turns : public Reading {
protected:
    void openWithEffect() {
        start(QSize(700, 500));
        open(writeBook(QStringLiteral("넘김.txt"), numberedBook(600)));
        control<QCheckBox>(*window, "chkline")->setChecked(true);
    }
    // The stage's page area (below the band) of a spread image of the window's spread size.
    QRect pages(bool left) const {
        const int w = control<forms::PictureBox>(*window, "PicReadIn")->width(),
                  h = control<forms::PictureBox>(*window, "PicReadIn")->height(), d = 62;
        return left ? QRect(0, d + 60, w / 2 - 40, h - 120)
                    : QRect(w / 2 + 40, d + 60, w / 2 - 45, h - 120);
    }
};

TEST_F(Turns, AForwardTurnShowsTheOldSpreadGivingWayToTheNew) {
    openWithEffect();
    const QImage before = window->shownSpread();  // spread 1-2
    FrameRecorder recorder(control<forms::PictureBox>(*window, "PicMoveBook"));
    release(control<forms::Image>(*window, "CmdNext"));
    ASSERT_EQ(window->pages().current, 3);
    const QImage after = window->shownSpread();  // spread 3-4
    // 2 N frames, N from the spread's width, plus the stage's first showing.
    ASSERT_GE(recorder.frames.size(), 12u);
    auto shifted = [](const QImage& spread) {  // a spread as the stage shows it, below the band
        QImage img(spread.width(), spread.height() + 62, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.drawImage(0, 62, spread);
        return img;
    };
    const QImage old = shifted(before), now = shifted(after);
    const QImage& first = recorder.frames[1];
    const QImage& last = recorder.frames.back();
    // First: the old left page lies still; the old right page starts to lift.
    EXPECT_GT(agreement(first, old, pages(true)), 0.98);
    // Last: the new spread has come down on both sides.
    EXPECT_GT(agreement(last, now, pages(true)), 0.9);
    EXPECT_GT(agreement(last, now, pages(false)), 0.98);
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicMoveBook")->isVisible());
}

TEST_F(Turns, NothingDoneDuringATurnIsQueuedAsAnotherTurn) {
    openWithEffect();
    FrameRecorder recorder(control<forms::PictureBox>(*window, "PicMoveBook"));
    recorder.onFrame = [&](int frame) {
        if (frame != 3) return;
        EXPECT_FALSE(window->isEnabled());
        QTest::mouseClick(control<forms::Image>(*window, "CmdNext"), Qt::LeftButton, {},
                          QPoint(5, 5));
        QTest::mouseClick(control<forms::PictureBox>(*window, "PicRead", 1), Qt::LeftButton, {},
                          QPoint(50, 50));
        QKeyEvent right(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
        QCoreApplication::sendEvent(control<forms::PictureBox>(*window, "PicRead", 1), &right);
    };
    release(control<forms::Image>(*window, "CmdNext"));
    QTest::qWait(300);
    EXPECT_EQ(window->pages().current, 3);
    EXPECT_TRUE(window->isEnabled());
    // Backward plays too, and a redraw (a relayout) plays no turn.
    recorder.frames.clear();
    recorder.onFrame = nullptr;
    release(control<forms::Image>(*window, "CmdPrev"));
    EXPECT_EQ(window->pages().current, 1);
    EXPECT_GE(recorder.frames.size(), 12u);
    recorder.frames.clear();
    window->RelayoutPages();
    EXPECT_LE(recorder.frames.size(), 1u);
}

// Keys come to whatever holds the keyboard, as the platform sends them: while a turn plays the
// pages are hidden and the window takes no input. A press made then is released after the turn.
TEST_F(Turns, APageKeyPressedDuringATurnTurnsOnceOnItsRelease) {
    const struct {
        const char* what;
        int repeats;  // the platform's marked release-press pairs while the key is held
        bool releasedDuringTheTurn;
        int turns;
    } cases[] = {{"pressed during the turn", 0, false, 1},
                 {"held through the turn", 4, false, 1},
                 {"pressed and released during the turn", 0, true, 0}};
    openWithEffect();
    ulong time = 1000;
    auto key = [&](QEvent::Type type, bool repeat = false) {
        QKeyEvent e(type, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
        e.setTimestamp(time += 40);
        QCoreApplication::sendEvent(window->windowHandle()->focusObject(), &e);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        control<forms::PictureBox>(*window, "PicRead", 1)->setFocus();
        ASSERT_EQ(window->windowHandle()->focusObject(),
                  control<forms::PictureBox>(*window, "PicRead", 1));
        const int from = window->pages().current;
        FrameRecorder recorder(control<forms::PictureBox>(*window, "PicMoveBook"));
        recorder.onFrame = [&](int frame) {
            if (frame != 3) return;
            key(QEvent::KeyPress);
            for (int i = 0; i < c.repeats; ++i) {
                key(QEvent::KeyRelease, true);
                key(QEvent::KeyPress, true);
            }
            if (c.releasedDuringTheTurn) key(QEvent::KeyRelease);
        };
        key(QEvent::KeyPress);
        key(QEvent::KeyRelease);
        ASSERT_EQ(window->pages().current, from + 2);
        ASSERT_GE(recorder.frames.size(), 3u);
        recorder.onFrame = nullptr;
        for (int i = 0; i < c.repeats; ++i) {
            key(QEvent::KeyRelease, true);
            key(QEvent::KeyPress, true);
        }
        if (!c.releasedDuringTheTurn) key(QEvent::KeyRelease);
        EXPECT_EQ(window->pages().current, from + 2 + 2 * c.turns);
    }
}

// The animator takes the spread's own width: at 1025 pixels 6 frames a half, where the 1024
// of a width rounded down to even takes 18.
TEST_F(Turns, AnOddSpreadWidthTurnsInItsOwnNumberOfFrames) {
    openWithEffect();
    window->resize(
        window->width() + 1025 - control<forms::PictureBox>(*window, "PicReadIn")->width(),
        window->height());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return control<forms::PictureBox>(*window, "PicReadIn")->width() == 1025; }, 2000));
    FrameRecorder recorder(control<forms::PictureBox>(*window, "PicMoveBook"));
    release(control<forms::Image>(*window, "CmdNext"));
    ASSERT_EQ(window->pages().current, 3);
    EXPECT_GE(recorder.frames.size(), 6u);
    EXPECT_LE(recorder.frames.size(), 13u);  // and the stage's first showing
}

TEST_F(Turns, AResizeDuringATurnEndsItAndLaysTheWindowOut) {
    openWithEffect();
    FrameRecorder recorder(control<forms::PictureBox>(*window, "PicMoveBook"));
    recorder.onFrame = [&](int frame) {
        if (frame == 3) window->resize(800, 560);
    };
    const int live = gdi::LiveDCs(), bitmaps = gdi::LiveBitmaps();
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_LT(recorder.frames.size(), 10u);  // ended early
    QTest::qWait(200);
    EXPECT_EQ(control<forms::PictureBox>(*window, "Pic_TxtOut")->width(), 800);
    EXPECT_EQ(window->pages().current % 2, 1);
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicMoveBook")->isVisible());
    EXPECT_EQ(gdi::LiveDCs(), live);
    EXPECT_EQ(gdi::LiveBitmaps(), bitmaps);
}

TEST_F(Turns, ClosingOrMinimisingDuringATurnEndsItCleanly) {
    openWithEffect();
    const int live = gdi::LiveDCs(), bitmaps = gdi::LiveBitmaps();
    FrameRecorder recorder(control<forms::PictureBox>(*window, "PicMoveBook"));
    recorder.onFrame = [&](int frame) {
        if (frame == 3) window->showMinimized();
    };
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_LT(recorder.frames.size(), 10u);
    EXPECT_EQ(window->pages().current, 3);
    window->showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(100);
    recorder.frames.clear();
    recorder.onFrame = [&](int frame) {
        if (frame == 3) window->close();
    };
    release(control<forms::Image>(*window, "CmdNext"));
    EXPECT_GE(recorder.frames.size(), 3u);
    EXPECT_LT(recorder.frames.size(), 10u);
    EXPECT_FALSE(control<forms::PictureBox>(*window, "PicMoveBook")->isVisible());
    EXPECT_EQ(gdi::LiveDCs(), live);
    EXPECT_EQ(gdi::LiveBitmaps(), bitmaps);
    window.reset();
    // The place reached was saved on the way out.
    const auto record =
        windowfile::decode(statefiles::readFile(folder.file(windowfile::fileName())).value_or(""));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->currentPage, 5);
    EXPECT_EQ(record->pageTurn, 1);
}

}  // namespace
