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

    virtual void Hide() = 0;
    virtual void SetMousePointer(int pointer) = 0;
    // The text of the selected entry of the drive list.
    virtual QString SelectedDrive() const = 0;
};

// The main window the engine talks to; set once at start-up.
void SetMainWindow(MainWindowLink* window);
MainWindowLink& MainWindow();

}  // namespace engine
