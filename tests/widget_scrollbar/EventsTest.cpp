// The bar under the mouse, on its real widgets: event orders of arrows, track and tick, the
// auto-repeat, drags, every button alike, and a disabled track.

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "Mouse.h"

using namespace sbtest;

namespace {

// A shown horizontal bar of 3000 x 255 twips, Min..Max.
std::unique_ptr<Bar> shownBar(int32_t min, int32_t max, int32_t value) {
    auto bar = std::make_unique<Bar>(QSize(200, 17));
    bar->putAll({{P::Orientation, L(1)}, {P::Max, L(max)}, {P::Min, L(min)}, {P::Value, L(value)}});
    bar->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(bar->host.get()));
    bar->clearLog();
    return bar;
}

QWidget* increaseArrow(Bar& bar) {
    return Bar::widgetOf(bar.ctl->increaseArrow(1));
}
QWidget* decreaseArrow(Bar& bar) {
    return Bar::widgetOf(bar.ctl->decreaseArrow(1));
}
QWidget* tickWidget(Bar& bar) {
    return Bar::widgetOf(bar.tick());
}

// The press is released from inside its first wait, as a quick click is (or right after
// it, when the first step reached a limit and there was no wait).
void quickClick(Bar& bar, QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    bar.rec.onEvent = [w, at, b](DISPID id) {
        if (id == E::ClickDown) releaseSoon(w, at, b);
    };
    press(w, at, b);
    bar.rec.onEvent = nullptr;
    QCoreApplication::processEvents();
}

// Moves the pointer, held on the tick, so that the tick's leading edge wants to go to `twips`
// (the press was at `grab` twips inside the tick).
void dragTickTo(Bar& bar, double twips, double grab) {
    QWidget* tick = tickWidget(bar);
    moveTo(tick, QPointF((twips + grab) / 15.0 - tick->x(), 8));
}

}  // namespace

TEST(Events, ArrowClicksStepOnce) {
    struct Case {
        const char* name;
        bool increase;
        int32_t value;
        QStringList events;
    };
    const Case cases[] = {
        {"increase", true, 3, {"ClickDown", "Change=4", "Click"}},
        {"decrease", false, 3, {"ClickDown", "Change=2", "Click"}},
        {"increase at Max", true, 10, {"ClickDown", "Change=10", "Click"}},
        {"decrease at Min", false, 0, {"ClickDown", "Change=0", "Click"}},
    };
    for (const Case& c : cases) {
        auto bar = shownBar(0, 10, c.value);
        QWidget* arrow = c.increase ? increaseArrow(*bar) : decreaseArrow(*bar);
        quickClick(*bar, arrow, QPoint(8, 8));
        EXPECT_EQ(bar->rec.events(), c.events) << c.name;
        // Each step also tells the host that Value changed.
        EXPECT_EQ(bar->rec.log.count(QStringLiteral("~Value")), c.events.size() - 2) << c.name;
    }
}

TEST(Events, HeldArrowRepeatsEveryFifthOfASecondUpToMax) {
    auto bar = shownBar(0, 5, 1);
    QElapsedTimer clock;
    clock.start();
    // Never released during the press: it steps until the next step would pass Max.
    press(increaseArrow(*bar), QPoint(8, 8));
    const qint64 held = clock.elapsed();
    release(increaseArrow(*bar), QPoint(8, 8));
    EXPECT_EQ(bar->rec.events(), (QStringList{"ClickDown", "Change=2", "Change=3", "Change=4",
                                              "Change=5", "Change=5", "Click"}));
    // Three waits of more than 0.2 s; no upper bound, the machine may be busy.
    EXPECT_GE(held, 580);
}

TEST(Events, ReleasingAHeldArrowStopsTheRepeat) {
    auto bar = shownBar(0, 10, 1);
    QWidget* arrow = increaseArrow(*bar);
    int changes = 0;
    bar->rec.onEvent = [&](DISPID id) {
        if (id == E::Change && ++changes == 3) releaseSoon(arrow, QPoint(8, 8));
    };
    press(arrow, QPoint(8, 8));
    EXPECT_EQ(bar->rec.events(),
              (QStringList{"ClickDown", "Change=2", "Change=3", "Change=4", "Click"}));
    EXPECT_EQ(bar->getLong(P::Value), 4);
}

TEST(Events, AReleaseThatNeverArrivesStillEndsTheRepeat) {
    // A host that disables its window in Change (a page turn does) makes the release miss the
    // bar; the repeat must end all the same instead of running on to Max.
    for (const bool onTrack : {false, true}) {
        auto bar = shownBar(0, 20, 1);
        QWidget* target = onTrack ? bar->surface() : increaseArrow(*bar);
        const QPoint at = onTrack ? QPoint(150, 8) : QPoint(8, 8);
        int changes = 0;
        bar->rec.onEvent = [&](DISPID id) {
            if (id != E::Change || ++changes != 2) return;
            bar->host->setEnabled(false);
            release(target, at);
            bar->host->setEnabled(true);
        };
        press(target, at);
        bar->rec.onEvent = nullptr;
        EXPECT_LE(changes, 3) << (onTrack ? "track" : "arrow");
        EXPECT_LT(bar->getLong(P::Value), 10) << (onTrack ? "track" : "arrow");
    }
}

TEST(Events, TrackPressStepsByLargeChange) {
    struct Case {
        const char* name;
        int32_t value, max;
        int x;  // pixel on the surface
        bool quick;
        QStringList events;
    };
    const Case cases[] = {
        // Right of the tick: 3 at once, then 5 would pass Max, so 4 and the end.
        {"towards Max", 1, 4, 150, false, {"ClickDown", "Change=3", "Change=4", "Click"}},
        {"towards Min", 8, 10, 30, true, {"ClickDown", "Change=6", "Click"}},
    };
    for (const Case& c : cases) {
        auto bar = shownBar(0, c.max, c.value);
        bar->put(P::LargeChange, L(2));
        bar->clearLog();
        if (c.quick) {
            quickClick(*bar, bar->surface(), QPoint(c.x, 8));
        } else {
            press(bar->surface(), QPoint(c.x, 8));
            release(bar->surface(), QPoint(c.x, 8));
        }
        EXPECT_EQ(bar->rec.events(), c.events) << c.name;
    }
}

TEST(Events, EveryButtonActsAlike) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        auto bar = shownBar(0, 10, 3);
        quickClick(*bar, increaseArrow(*bar), QPoint(8, 8), b);
        bar->put(P::LargeChange, L(3));
        quickClick(*bar, bar->surface(), QPoint(150, 8), b);
        QWidget* tick = tickWidget(*bar);
        press(tick, QPoint(2, 8), b);
        release(tick, QPoint(2, 8), b);
        EXPECT_EQ(bar->rec.events(), (QStringList{"ClickDown", "Change=4", "Click", "ClickDown",
                                                  "Change=7", "Click", "ClickDown", "Click"}))
            << b;
    }
}

TEST(Events, DragFollowsThePointerAndScrolls) {
    auto bar = shownBar(1, 10, 1);
    bar->put(P::ArrowVisible, B(false));
    bar->clearLog();
    ASSERT_EQ(bar->tick().left(), 15);
    QWidget* tick = tickWidget(*bar);
    // Pressed 3 pixels into the tick, which stands at 15 twips: 45 - 15 + 15 = 45 twips in.
    press(tick, QPoint(3, 8));
    const double grab = (3 + tick->x()) * 15.0 - 15;
    struct Step {
        double to;
        float left;
        int32_t value;
    };
    const Step steps[] = {{921, 921, 4}, {1374, 1374, 6}, {2733, 2733, 10}, {15, 15, 1}};
    for (const Step& s : steps) {
        dragTickTo(*bar, s.to, grab);
        EXPECT_FLOAT_EQ(bar->tick().left(), s.left) << s.to;
        EXPECT_EQ(bar->getLong(P::Value), s.value) << s.to;
    }
    release(tick, QPoint(3, 8));
    EXPECT_EQ(bar->rec.events(), (QStringList{"ClickDown", "Scroll=4", "Scroll=6", "Scroll=10",
                                              "Scroll=1", "Change=1", "Click"}));
    // Dragging changes Value without telling the host of a property change.
    EXPECT_FALSE(bar->rec.log.contains(QStringLiteral("~Value")));
}

TEST(Events, DragPastTheEndStopsAtTheEnd) {
    auto bar = shownBar(1, 10, 1);
    bar->put(P::ArrowVisible, B(false));
    bar->clearLog();
    QWidget* tick = tickWidget(*bar);
    press(tick, QPoint(3, 8));
    const double grab = (3 + tick->x()) * 15.0 - 15;
    for (double to : {5000.0, 6000.0, 9000.0}) {
        dragTickTo(*bar, to, grab);
        EXPECT_EQ(bar->tick().left(), 2733);
    }
    release(tick, QPoint(3, 8));
    EXPECT_EQ(bar->rec.events(), (QStringList{"ClickDown", "Scroll=10", "Change=10", "Click"}));
    // From then on every release on the tick reports Change, even without a move.
    bar->clearLog();
    press(tick, QPoint(3, 8));
    release(tick, QPoint(3, 8));
    EXPECT_EQ(bar->rec.events(), (QStringList{"ClickDown", "Change=10", "Click"}));
}

TEST(Events, DisabledTrackIgnoresTheMouse) {
    auto bar = shownBar(0, 10, 5);
    bar->put(P::Enabled, B(false));
    bar->clearLog();
    press(bar->surface(), QPoint(150, 8));
    release(bar->surface(), QPoint(150, 8));
    press(bar->surface(), QPoint(5, 8));
    release(bar->surface(), QPoint(5, 8));
    EXPECT_TRUE(bar->rec.log.isEmpty()) << bar->rec.log.join(' ').toStdString();
    EXPECT_EQ(bar->getLong(P::Value), 5);
    // The tick and the arrows are hidden, so the surface gets every press.
    EXPECT_EQ(bar->surface()->childAt(QPoint(192, 8)), nullptr);
}

TEST(Events, DestroyedWhileAnArrowIsHeld) {
    struct Case {
        const char* name;
        bool inWait;  // destroyed from a timer during the wait, else in the Change handler
    };
    for (const Case& c : {Case{"in the Change handler", false}, Case{"during the wait", true}}) {
        auto bar = shownBar(0, 10, 1);
        QWidget* arrow = increaseArrow(*bar);
        int changes = 0;
        bar->rec.onEvent = [&](DISPID id) {
            if (id != E::Change || ++changes != 2) return;
            if (c.inWait)
                QTimer::singleShot(0, bar->host.get(), [&] { bar->ctl.reset(); });
            else
                bar->ctl.reset();
        };
        press(arrow, QPoint(8, 8));
        EXPECT_EQ(bar->ctl, nullptr) << c.name;
        EXPECT_EQ(bar->rec.events(), (QStringList{"ClickDown", "Change=2", "Change=3"})) << c.name;
        // The widgets still on the stack went later; the window lives on.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(bar->host->findChildren<QWidget*>().isEmpty()) << c.name;
    }
}
