// The progress window's side of a file's wipe: what it shows of each pass, and
// the wipes that show it.
#pragma once

#include <QString>
#include <cstdint>

#include "engine/PassProgress.h"
#include "engine/Wipe.h"

namespace engine {

// The status line of a file being wiped: "Wiping: <name>", then on a line of its
// own the share written, with the pass number when `pass` is above 0.
QString WipingCaption(const QString& Nome, int percent, int pass);

// The name the status line gives the file at Path: its last part and "...".
QString ShownName(const QString& Path);

// The progress window while a file is wiped with the method: the status line, the
// bar, the main window hidden, a yield after each step; it goes on until a stop
// is requested.
class FileProgressWindow : public WipeProgress {
  public:
    FileProgressWindow(int Metodo, const QString& Nome);

    void PassBegins(int pass, PassKind kind) override;
    void Stepped(int pass, int step) override;
    bool GoOn() override;
    void Stopped() override;
    void Failed() override;

  private:
    // What the method shows and where it yields.
    const MethodTraits& traits_;
    const QString nome_;
    // The pass drives MainWindow().Totale, set to 99 when it begins.
    bool ownTotal_ = false;
};

// The status line and the bar after pass `Passata` of `PassateTotali` of the
// 35-pass method, then one refresh and one yield.
void ShowPassProgress(std::int16_t Passata, const QString& Nome, std::int16_t PassateTotali);

// The wipes with the progress window: a file with Metodo; the passes of methods 0
// to 7 over a file of MainWindow().Lunghezza bytes; the 35-pass method, its first
// line shown by the caller.
void WipeFile(const QString& Path, std::int16_t Metodo, platform::TreeAnchor* beneath = nullptr);
PassesEnd WriteMethodPasses(const QString& Path, int Metodo, const QString& Nome);
int WipeGutmann(const QString& Path, const QString& Nome);

}  // namespace engine
