// Yielding to pending events and the screen's mouse pointer.
#pragma once

#include <functional>

namespace platform {

// Processes the pending events once, like a long run's yield.
void DoEvents();

// Runs a call that may block for long (a flush to a slow drive) on a helper thread
// while this thread keeps processing events, so the windows go on painting and a
// click is taken in; returns, or throws, what the call did. The call touches no
// widget. This is no yield: the yield hook does not run and the count stays.
void WhileResponsive(const std::function<void()>& blocking);

// Tests install a hook that runs at every yield, before the pending events
// are processed (to click Cancel at the moment a case needs, say).
void SetYieldHook(std::function<void()> hook);

namespace pointer {
inline constexpr int Default = 0;
inline constexpr int Arrow = 1;
inline constexpr int Hourglass = 11;
inline constexpr int Custom = 99;
}  // namespace pointer

// The pointer shown over the whole screen (0 restores the normal one).
void SetScreenMousePointer(int pointer);
int ScreenMousePointer();

// What only a program with windows can do while events are processed: hold back
// repaints, and show a pointer over the screen. The widget side installs them when
// the application is made (platform::Application); without them the events are
// processed all the same and the pointer is only remembered.
struct ScreenServices {
    void (*throttlePaints)() = nullptr;
    void (*showPointer)(int previous, int pointer) = nullptr;
};
void SetScreenServices(ScreenServices services);

}  // namespace platform
