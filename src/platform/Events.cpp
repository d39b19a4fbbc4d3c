#include "platform/Events.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace platform {

namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
long long g_yields = 0;
int g_screenPointer = pointer::Default;
}  // namespace

void DoEvents() {
    ++g_yields;
    if (Hook()) {
        // Copy first: the hook may replace itself.
        auto hook = Hook();
        hook();
    }
    if (QCoreApplication::instance()) {
        QCoreApplication::processEvents();
    }
}

void SetYieldHook(std::function<void()> hook) {
    Hook() = std::move(hook);
}

long long YieldCount() {
    return g_yields;
}

void SetScreenMousePointer(int p) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (g_screenPointer != pointer::Default) {
            QGuiApplication::restoreOverrideCursor();
        }
        if (p == pointer::Hourglass) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        } else if (p != pointer::Default) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        }
    }
    g_screenPointer = p;
}

int ScreenMousePointer() {
    return g_screenPointer;
}

}  // namespace platform
