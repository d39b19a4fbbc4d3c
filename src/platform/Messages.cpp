#include "platform/Messages.h"

#include <QDebug>

namespace platform {

namespace {
MsgBoxHandler& Handler() {
    static MsgBoxHandler handler;
    return handler;
}
MsgBoxShower g_shower = nullptr;
}  // namespace

void SetMsgBoxHandler(MsgBoxHandler handler) {
    Handler() = std::move(handler);
}

void SetMsgBoxShower(MsgBoxShower shower) {
    g_shower = shower;
}

int MsgBox(const QString& prompt, int style, const QString& title) {
    if (Handler()) {
        return Handler()(prompt, style, title);
    }
    if (g_shower) {
        return g_shower(prompt, style, title);
    }
    qWarning("Quellix: no window to show \"%s\": %s", qPrintable(title), qPrintable(prompt));
    return (style & 7) == mb::YesNo ? mb::No : mb::Ok;
}

}  // namespace platform
