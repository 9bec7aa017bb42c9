#pragma once
// The five pictures the control falls back on (the hidden imgbasicarray): raised button faces,
// four of them with a black arrow glyph.

#include <QImage>

namespace Qm_ImgScrollBar {

enum class Builtin : int {
    UpArrow = 0,     // 21 x 16
    Tick = 1,        // 21 x 21
    LeftArrow = 2,   // 16 x 21
    RightArrow = 3,  // 16 x 21
    DownArrow = 4,   // 21 x 16
};
constexpr int kBuiltinCount = 5;

// The built-in picture, 24-bit colour, drawn afresh.
QImage drawBuiltin(Builtin which);

}  // namespace Qm_ImgScrollBar
