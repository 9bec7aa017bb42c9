// The page turn: drawing one frame (the strip's columns and the copies, without the wait for
// the display) at a 1920 x 1080 window's spread and at a 1024-pixel spread, and a whole turn.

#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "Bench.h"
#include "bookani/Cls_BookAni.h"
#include "graphics/Gdi.h"

namespace bench {

// Plays forward turns of a w x h spread under a band of depth d onto a stage, flat out.
TurnFigures measureTurn(int w, int h, int d) {
    gdi::MemoryDC current(nullptr, w, h), flip(nullptr, w, h), stage(nullptr, w, h + d);
    QWidget window;  // asked to repaint after every frame, as the stage is
    TurnFigures f;
    std::vector<double> turns;
    for (int run = 0; run < 5; ++run) {
        Cls_BookAni ani;
        ani.setFrameInterval(0);
        ani.Set_PagePos(2);
        ani.Set_Border(-1);
        ani.Set_Depth(int16_t(d));
        ani.Set_Width(float(w));
        ani.Set_Height(float(h));
        ani.Screen_DepthCapture(stage.dc());
        ani.Load_CurBookDc(current.dc());
        ani.Load_FlipBookDc(flip.dc());
        f.frames = 2 * ani.FrameCount();
        QElapsedTimer clock;
        clock.start();
        ani.Move_Flip(stage.dc(), &window);
        turns.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(turns.begin(), turns.end());
    f.turnMs = turns[turns.size() / 2];
    f.frameMs = f.turnMs / f.frames;
    return f;
}

}  // namespace bench

BENCHMARK(40, turn) {
    const bench::TurnFigures wide = bench::measureTurn(1880, 990, 62);
    bench::report("page turn frame, 1880 x 990 spread (6 frames a half)", wide.frameMs, "ms", 8);
    bench::note(
        QStringLiteral("  (the whole turn of %1 frames: %2 ms drawing; with one refresh a frame "
                       "on screen about %3 ms)")
            .arg(wide.frames)
            .arg(wide.turnMs, 0, 'f', 1)
            .arg(wide.frames * 16.7, 0, 'f', 0));
    const bench::TurnFigures narrow = bench::measureTurn(1024, 700, 62);
    bench::report("page turn frame, 1024-pixel spread (18 frames a half)", narrow.frameMs, "ms", 8);
    bench::note(
        QStringLiteral("  (the whole turn of %1 frames: %2 ms drawing; on screen about %3 ms)")
            .arg(narrow.frames)
            .arg(narrow.turnMs, 0, 'f', 1)
            .arg(narrow.frames * 16.7, 0, 'f', 0));
}
