#include "forms/MouseArgs.h"

namespace forms {

int buttonCode(Qt::MouseButton b) {
    return buttonsCode(b);
}

int buttonsCode(Qt::MouseButtons b) {
    // Back, forward and the rest have no classic code.
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
           (b & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace forms
