// The numbers the handlers are given for keys, shift keys and mouse buttons, and
// the cursor a pointer number shows.
#pragma once

#include <QCursor>
#include <Qt>

class QKeyEvent;

namespace platform {

// The key code handed to KeyPress handlers for a key event (27 for Esc), or 0.
int KeyAsciiOf(const QKeyEvent& event);

// Shift 1, Ctrl 2, Alt 4, added.
int ShiftOf(Qt::KeyboardModifiers modifiers);
// Left 1, right 2, middle 4, added.
int ButtonOf(Qt::MouseButtons buttons);

// The cursor of a pointer number (pointer::…); `custom` for pointer::Custom.
QCursor CursorFor(int pointer, const QCursor& custom);

}  // namespace platform
