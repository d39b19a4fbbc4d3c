#include "lang/Settings.h"

#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ProgramFolder.h"
#include "platform/TextInput.h"

namespace lang {

QString SettingsFilePath() {
    return platform::ProgramFolder() + platform::kSep + QStringLiteral("Quellix.ini");
}

void ScriviIni(int listIndex, const QString& fileLingua) {
    // Each step on its own: a read-only folder, a locked file or a full disk
    // must never stop or bother the user, and a line that fails is just missing.
    platform::OutputFile file;
    platform::Try([&] { file.Open(SettingsFilePath()); });
    platform::Try([&] { file.PrintLine(platform::TrimStr(listIndex)); });
    platform::Try([&] { file.PrintLine(fileLingua); });
    platform::Try([&] { file.Close(); });
}

bool ReadSettings(QString& metodoSalvato, QString& fileLingua) {
    const QString path = SettingsFilePath();
    if (platform::KindOf(path) != platform::FileKind::Regular) {
        return false;
    }
    QByteArray content;
    try {
        content = platform::ReadAllBytes(path);
    } catch (const platform::RuntimeError&) {
        return true;
    }
    platform::DelimitedInput input(platform::DecodeText(content));
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
