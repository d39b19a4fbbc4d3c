#include "lang/Settings.h"

#include "lang/FirstLines.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ProgramFolder.h"
#include "platform/TextInput.h"

namespace lang {

namespace {
// The lines of the settings file: the method and the language file.
constexpr int kSettingsLines = 2;
}  // namespace

QString SettingsFilePath() {
    return platform::ProgramFolder() + platform::kSep + QStringLiteral("Quellix.ini");
}

void ScriviIni(int listIndex, const QString& fileLingua) {
    // Each step on its own: a read-only folder, a locked file or a full disk
    // must never stop or bother the user, and a line that fails is just missing.
    // The lines go to a new file that replaces the old one at the close: a link
    // put at the name is replaced, never written through.
    platform::OutputFile file;
    platform::Try([&] { file.Open(SettingsFilePath(), platform::OutputFile::Mode::Replace); });
    platform::Try([&] { file.PrintLine(platform::TrimStr(listIndex)); });
    platform::Try([&] { file.PrintLine(fileLingua); });
    platform::Try([&] { file.Close(); });
}

bool ReadSettings(QString& metodoSalvato, QString& fileLingua) {
    const QString path = SettingsFilePath();
    if (platform::KindOf(path) != platform::FileKind::Regular) {
        return false;
    }
    // The two fields lie in the first two lines; nothing after them is read.
    QStringList lines;
    try {
        lines = ReadFirstLines(path, kSettingsLines);
    } catch (const platform::RuntimeError&) {
        return true;
    }
    QString text;
    for (const QString& line : lines) text += line + QStringLiteral("\r\n");
    platform::DelimitedInput input(text);
    input.ReadField(metodoSalvato);
    input.ReadField(fileLingua);
    return true;
}

int SavedMethodIndex(const QString& metodoSalvato) {
    int index;
    try {
        index = platform::ToInteger16(platform::LeadingNumber(metodoSalvato));
    } catch (const platform::RuntimeError&) {
        return -1;
    }
    return index >= 0 && index < kMethodCount ? index : -1;
}

}  // namespace lang
