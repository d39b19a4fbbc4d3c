// The program's run: its event loop and its end.
#pragma once

#include <functional>

namespace platform {

// Runs the event loop until the program ends; returns the exit code.
int RunEventLoop();

// Ends the program at once: the event loop stops before any further event
// (a timer tick, another window's handler) is handled, and nothing is saved.
void EndProgram();

namespace hooks {
// Tests record the end of the program instead of stopping their process.
void SetEndHandler(std::function<void()> handler);
}  // namespace hooks

}  // namespace platform
