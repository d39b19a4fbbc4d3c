// Files and folders dropped on the main window: each is destroyed in turn, a
// folder through the folder wipe, anything else through WipeFile.
#include <QChar>

#include "app/Form1.h"
#include "engine/Dialog.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Events.h"
#include "platform/Messages.h"

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
    const QChar CR(13);
    if (platform::MsgBox(
            Testi[12] + CR + CR + Testi[13],
            platform::mb::YesNo + platform::mb::Information + platform::mb::DefaultButton2,
            Testi[14]) == platform::mb::No) {
        return;
    }
    SetMousePointer(platform::pointer::Hourglass);

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
        if (engine::EsisteCartella(item)) {
            CartellaRilasciata = item;
            Command3_Click();
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
        if (Check1.Value() == 0) {
            // The box is shown over the progress window with its full bar.
            dlg.ImgBar.SetWidth(engine::kBarFull);
            dlg.Refresh();
            platform::MsgBox(Testi[17], platform::mb::Information, Testi[18]);
        } else {
            engine::ArrestaSistema();
        }
    }
    dlg.Label9.SetVisible(false);
    dlg.Unload();
    Show();
}

}  // namespace app
