// Files and folders dropped on the main window: each is destroyed in turn, a
// folder through the folder wipe, anything else through WipeFile.
#include <memory>
#include <vector>

#include "app/Form1.h"
#include "engine/Dialog.h"
#include "engine/ProgressWindow.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Events.h"
#include "platform/Folders.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/TreeAnchor.h"

namespace app {

using lang::Testi;
using platform::DataObject;

namespace {
// Only a drop that offers copy, move and link together is a drop of the shell's files.
constexpr int kAllEffects =
    platform::effect::Copy | platform::effect::Move | platform::effect::Link;
}  // namespace

void Form1Form::Form_OLEDragDrop(const DataObject& Data, int Effect) {
    RilasciaFiles(Data, Effect);
}
void Form1Form::Label9_OLEDragDrop(const DataObject& Data, int Effect) {
    RilasciaFiles(Data, Effect);
}
void Form1Form::Label4_OLEDragDrop(const DataObject& Data, int Effect) {
    RilasciaFiles(Data, Effect);
}
void Form1Form::Combo1_OLEDragDrop(const DataObject& Data, int Effect) {
    RilasciaFiles(Data, Effect);
}
void Form1Form::Label1_OLEDragDrop(const DataObject& Data, int Effect) {
    RilasciaFiles(Data, Effect);
}

void Form1Form::RilasciaFiles(const DataObject& Data, int Effect) {
    if (Effect != kAllEffects)
        return;
    // One run at a time: a click, key or drop that reaches the hidden window
    // while a run yields starts nothing.
    const engine::WipeRun run;
    if (!run.Started())
        return;
    // Each dropped folder is held from the moment the drop arrives: the question
    // can stay up for long, and the run acts on the folders that were dropped.
    std::vector<std::unique_ptr<platform::TreeAnchor>> tops(
        static_cast<std::size_t>(Data.Files.size()));
    for (qsizetype i = 0; i < Data.Files.size(); ++i) {
        const QString& item = Data.Files[i];
        if (!platform::HasDotNames(item) && engine::EsisteCartella(item))
            tops[static_cast<std::size_t>(i)] =
                std::make_unique<platform::TreeAnchor>(platform::CleanPath(item));
    }
    if (!ConfirmDestruction(platform::mb::Information, Testi[14]))
        return;
    SetMousePointer(platform::pointer::Hourglass);
    // One count for the whole drop, its folders too; what no name reaches is in it.
    engine::CountNotWiped(Data.Unnamed);

    engine::DialogForm& dlg = engine::Dialog();
    // Wide enough for any drop.
    const qsizetype n = Data.Files.size();
    for (qsizetype i = 1; i <= n; ++i) {
        // The folder wipe and WipeFile change the total for their own bars.
        Totale = platform::Currency::FromWhole(Data.Files.size());
        dlg.Load();
        dlg.Label9.SetVisible(true);
        dlg.Show();
        Hide();
        platform::DoEvents();
        dlg.ImgBar.SetWidth(engine::BarWidth(Totale.ToDouble(), static_cast<double>(i)));
        dlg.Refresh();
        // A Cancel pressed while the drop yielded ends it before the next item:
        // the folder wipe clears the flag when it starts and would go on.
        if (engine::Annullato == 1)
            break;
        const QString& item = Data.Files[i - 1];
        if (platform::TreeAnchor* top = tops[static_cast<std::size_t>(i - 1)].get()) {
            CartellaRilasciata = item;
            AncoraRilasciata = top;
            Command3_Click();
            AncoraRilasciata = nullptr;
        } else if (platform::HasDotNames(item) && engine::EsisteCartella(item)) {
            // A folder named through "." or ".." could lead anywhere: it is left.
            engine::CountNotWiped();
        } else {
            engine::WipeFile(item, MetodoScelto());
        }
        if (engine::Annullato == 1)
            break;
        platform::DoEvents();
        dlg.ImgBar.Refresh();
    }

    SetMousePointer(platform::pointer::Default);
    if (engine::Annullato == 0) {
        // The box is shown over the progress window with its full bar.
        EndOfRun(Testi[17], [&] {
            dlg.ImgBar.SetWidth(engine::kBarFull);
            dlg.Refresh();
        });
    }
    dlg.Label9.SetVisible(false);
    dlg.Unload();
    Show();
}

}  // namespace app
