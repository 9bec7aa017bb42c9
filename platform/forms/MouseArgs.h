#pragma once
// Mouse buttons and shift state in the classic event-argument form.

#include <QMouseEvent>

namespace forms {

// 1 left, 2 right, 4 middle.
int buttonCode(Qt::MouseButton b);
int buttonsCode(Qt::MouseButtons b);
// 1 shift, 2 ctrl, 4 alt.
int shiftCode(Qt::KeyboardModifiers m);

}  // namespace forms
