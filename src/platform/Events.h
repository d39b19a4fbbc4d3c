// Yielding to pending events and the screen's mouse pointer.
#pragma once

#include <functional>

namespace platform {

// A long run's yield: runs the yield hook, then processes the pending events
// once, when at least a millisecond passed since they were last processed (a run
// yields after every chunk, thousands of times a second: the event loop at each
// would cost more than the writing). So a click or key waits a millisecond at most
// beyond the yield that follows it.
void DoEvents();

// Processes the pending events now, however recently they were: a run calls it
// before each file, so that a click taken in during a file stops the run before
// the next one. This is no yield: the yield hook does not run.
void ProcessPendingEvents();

// Runs a call that may block for long (a flush to a slow drive) on a helper thread
// while this thread keeps processing events, so the windows go on painting and a
// click is taken in; returns, or throws, what the call did. The call touches no
// widget. This is no yield: the yield hook does not run and the count stays, nor
// does it run for a yield that an event handler makes meanwhile. The call runs on
// the helper thread: whatever it calls (the file fault seam's hooks included) is
// called there.
void WhileResponsive(const std::function<void()>& blocking);

// Tests install a hook that runs at every yield, before the pending events
// are processed (to click Cancel at the moment a case needs, say). Called on
// the UI thread, never while WhileResponsive's helper runs a job.
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
