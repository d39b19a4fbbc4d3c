// The program's run: its application object, its event loop and its end.
#pragma once

#include <functional>
#include <memory>

class QApplication;
class QTranslator;

namespace platform {

// The application of a program with windows; make it first, in main. It lends
// the services that build on Qt Core alone what only windows can do: the real
// message box, the paint throttle while a run yields, the screen's pointer.
// The toolkit's own texts (the boxes' buttons, the file and folder dialogs)
// come in the language of the user's locale where the toolkit has a
// translation for it, and in English elsewhere.
class Application {
  public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

  private:
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<QTranslator> toolkitTexts_;
};

// Runs the event loop until the program ends; returns the exit code.
int RunEventLoop();

// Ends the program at once: the event loop stops before any further event
// (a timer tick, another window's handler) is handled, and nothing is saved.
void EndProgram();

namespace hooks {
// Tests record the end of the program instead of stopping their process.
// Called on the UI thread.
void SetEndHandler(std::function<void()> handler);
}  // namespace hooks

}  // namespace platform
