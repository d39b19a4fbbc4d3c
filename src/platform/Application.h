// The program's run: its event loop, its end, and a picture of a window for
// the screenshot tool.
#pragma once

#include <QString>
#include <functional>

namespace platform {

class Form;

// Runs the event loop until the program ends; returns the exit code.
int RunEventLoop();

// Ends the program at once: the event loop stops before any further event
// (a timer tick, another window's handler) is handled, and nothing is saved.
void EndProgram();

namespace hooks {
// Tests record the end of the program instead of stopping their process.
void SetEndHandler(std::function<void()> handler);

// When the environment variable QUELLIX_SNAPSHOT names a file, saves a PNG of
// the form's window into it once the window is on screen, and ends the program.
// A tool for looking at the window; the program itself reads no environment.
void SnapshotIfAsked(Form& form);
}  // namespace hooks

}  // namespace platform
