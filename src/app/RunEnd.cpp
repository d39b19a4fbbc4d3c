// The question before a run and the end of a run, shared by the file, folder
// and drop runs.
#include <QChar>

#include "app/Form1.h"
#include "engine/Utilities.h"
#include "engine/Wipe.h"
#include "lang/Testi.h"
#include "platform/Messages.h"

namespace app {

using lang::Testi;

namespace {
const QChar CR(13);
}  // namespace

bool Form1Form::ConfirmDestruction(int icon, const QString& title) {
    return platform::MsgBox(Testi[12] + CR + CR + Testi[13],
                            platform::mb::YesNo | icon | platform::mb::DefaultButton2,
                            title) != platform::mb::No;
}

void Form1Form::EndOfRun(const QString& completed, const std::function<void()>& beforeBox) {
    if (Check1.Value() != 0) {
        engine::ArrestaSistema();
        return;
    }
    if (beforeBox)
        beforeBox();
    // No run says only "completed" while chosen data is still readable.
    const engine::WipeRun* const run = engine::WipeRun::Current();
    const std::int64_t kept = run ? run->NotWiped() : 0;
    const QString message =
        kept > 0 ? Testi[17] + CR + CR + Testi[84] + QString::number(kept) : completed;
    platform::MsgBox(message, platform::mb::Information, Testi[18]);
}

}  // namespace app
