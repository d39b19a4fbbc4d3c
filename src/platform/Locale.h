// The user's locale, as the program needs it: the language's two-letter code.
#pragma once

#include <QString>
#include <optional>

namespace platform {

// The ISO 639-1 code of the user's language, in lower case ("it", "pt"), taken
// from the locale of the user's environment (LC_ALL, then LC_MESSAGES, then LANG);
// empty for the C locale and for a language without a two-letter code.
QString UserLanguageCode();

// The user's symbols for grouping thousands and for the decimal point, from the
// same locale.
QString UserGroupSymbol();
QString UserDecimalSymbol();

namespace hooks {
// Makes UserLanguageCode read the given locale name ("pt_BR", "" for none)
// instead of the environment's; std::nullopt goes back to the environment.
void SetUserLocale(std::optional<QString> localeName);
}  // namespace hooks

}  // namespace platform
