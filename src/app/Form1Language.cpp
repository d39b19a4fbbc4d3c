// The main window's Options items: the language menu and the translation form.
#include "app/Form1.h"
#include "app/Links.h"
#include "lang/LanguageMenu.h"
#include "lang/Testi.h"
#include "lang/TranslationForm.h"
#include "platform/Errors.h"

namespace app {

using platform::Try;

void Form1Form::mnuLingua_Click() {
    const QString chosen =
        lang::ApriFile(this, lang::kOpenDialogMode, lang::Testi[21], lang::LanguageFilters(),
                       lang::LanguageFolder(), QStringLiteral("lng"));
    if (chosen.isEmpty()) {
        return;  // cancelled: nothing changes, nothing is written
    }
    if (const auto name = lang::LanguageFileOf(chosen)) {
        FileLingua = *name;
    }
    // Also without a new name: the current language is then loaded again.
    Try([this] { ScriviIni(); });
    Try([this] { LeggeIni(); });
    Try([this] { CambiaLingua(); });
}

void Form1Form::mnuAggLingua_Click() {
    // Nothing is reported: a form that cannot be written is still opened.
    lang::WriteTranslationForm(QLatin1String(kProductName), QLatin1String(kMakersMail));
    OpenPage(lang::TranslationFormPath());
}

}  // namespace app
