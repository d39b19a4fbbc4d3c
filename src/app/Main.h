// The start-up procedure.
#pragma once

namespace app {

// Loads and shows the main window with the hourglass pointer up meanwhile;
// from then on only events run the program.
void Main();

}  // namespace app
