#pragma once

#include <Qt>

namespace varrow::forms {

// The key code a key handler receives for a Qt key: letters and digits as
// their capital ASCII code, space 32, Enter 13, the arrows 37 to 40, F1 112...
// 0 for a key that has none.
int KeyCodeOf(int qt_key);

// The shift state a key or mouse handler receives: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftStateOf(Qt::KeyboardModifiers modifiers);

// The mouse button a mouse handler receives: 1 left, 2 right, 4 middle.
int MouseButtonOf(Qt::MouseButton button);

}  // namespace varrow::forms
