// What the engine needs of the main window: a few fields, hiding it and its
// mouse pointer. The main window provides it; engine tests use a double.
#pragma once

#include <QString>
#include <cstdint>

#include "platform/Currency.h"

namespace engine {

class MainWindowLink {
  public:
    virtual ~MainWindowLink() = default;

    // The length of the file being wiped, in bytes.
    std::int64_t Lunghezza = 0;
    // The folder of the file being wiped, with its trailing separator.
    QString CartellaFile;
    // The progress total: the number of steps of the bar being driven.
    platform::Currency Totale;

    // The free-space wipe's clock and counters (thousands of bytes).
    std::int16_t Ore = 0;
    std::int16_t Minuti = 0;
    std::int16_t Secondi = 0;
    std::int64_t SecondiTotali = 0;
    std::int64_t KbScritti = 0;
    std::int64_t KbFile = 0;

    virtual void Hide() = 0;
    virtual void SetMousePointer(int pointer) = 0;
    // The text of the selected entry of the drive list.
    virtual QString SelectedDrive() const = 0;
    // Shows the window again (modeless).
    virtual void Show() {}
    // The selected entry of the method list; -1 when none is selected.
    virtual int MethodIndex() const { return -1; }
    // The value of the box for shutting down at the end: 0 unticked.
    virtual int ShutdownAtEnd() const { return 0; }
    // The interval of the window's timer in milliseconds; 0 stops it.
    virtual void SetTimerInterval(int milliseconds) { (void)milliseconds; }
};

// The main window the engine talks to; set once at start-up.
void SetMainWindow(MainWindowLink* window);
MainWindowLink& MainWindow();

}  // namespace engine
