#include "platform/InputCodes.h"

#include <QKeyEvent>

#include "platform/Events.h"

namespace platform {

int KeyAsciiOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Escape) {
        return 27;
    }
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        return 13;
    }
    if (event.key() == Qt::Key_Backspace) {
        return 8;
    }
    const QString t = event.text();
    if (t.size() == 1 && t.at(0).unicode() >= 32) {
        return t.at(0).unicode();
    }
    return 0;
}

int ShiftOf(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier)
        s |= 1;
    if (m & Qt::ControlModifier)
        s |= 2;
    if (m & Qt::AltModifier)
        s |= 4;
    return s;
}

int ButtonOf(Qt::MouseButtons b) {
    int r = 0;
    if (b & Qt::LeftButton)
        r |= 1;
    if (b & Qt::RightButton)
        r |= 2;
    if (b & Qt::MiddleButton)
        r |= 4;
    return r;
}

QCursor CursorFor(int pointer, const QCursor& custom) {
    switch (pointer) {
        case pointer::Hourglass:
            return QCursor(Qt::WaitCursor);
        case pointer::Custom:
            return custom;
        default:
            return QCursor(Qt::ArrowCursor);
    }
}

}  // namespace platform
