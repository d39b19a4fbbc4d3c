// The free-space operation: the free-space button and Destroy > Free space.
#include <QChar>

#include "app/Form1.h"
#include "engine/Dialog.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "engine/WipeSpace.h"
#include "lang/Testi.h"
#include "platform/Events.h"
#include "platform/Messages.h"

namespace app {

using lang::Testi;

namespace {
const QChar CR(13);
}  // namespace

void Form1Form::Command2_Click() {
    // One run at a time: a click, key or drop that reaches the hidden window
    // while a run yields starts nothing.
    const engine::WipeRun run;
    if (!run.Started())
        return;
    // The 35-pass method: far too slow for a whole drive.
    if (engine::TraitsOf(Combo1.ListIndex()).thirtyFivePass) {
        platform::MsgBox(Testi[19] + CR + CR + Testi[20], platform::mb::Information, Testi[21]);
        return;
    }
    platform::MsgBox(Testi[22] + CR + Testi[23] + CR + CR + Testi[24], platform::mb::Information,
                     Testi[25]);
    engine::Annullato = 0;
    engine::Drive1_Change();

    engine::DialogForm& d = engine::Dialog();
    d.Load();
    for (platform::Label* l : {&d.Label1, &d.Label2, &d.Label3, &d.Label4})
        l->SetCaption(QString());
    for (platform::Label* l : {&d.Label1, &d.Label2, &d.Label3, &d.Label4}) l->SetVisible(true);
    d.Show();
    Hide();
    d.Show();
    platform::DoEvents();
    d.Refresh();
    // A Cancel pressed during that yield does not count.
    engine::Annullato = 0;

    engine::WipeSpace(Drive1.List(Drive1.ListIndex()));

    // After the wipe has unloaded the window, hiding the first line loads it
    // again, hidden; the unload follows at once.
    for (platform::Label* l : {&d.Label1, &d.Label2, &d.Label3, &d.Label4}) l->SetVisible(false);
    d.Unload();
    Show();
}

void Form1Form::Show() {
    Form::Show();
}
int Form1Form::MethodIndex() const {
    return Combo1.ListIndex();
}
int Form1Form::ShutdownAtEnd() const {
    return Check1.Value();
}
void Form1Form::SetTimerInterval(int milliseconds) {
    Timer1.SetInterval(milliseconds);
}

}  // namespace app
