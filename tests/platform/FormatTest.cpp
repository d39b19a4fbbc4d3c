// Numbers after the format patterns the progress lines use.
#include <gtest/gtest.h>

#include "platform/Format.h"
#include "platform/Locale.h"

namespace {

TEST(Format, PatternsWithTheUsersSymbols) {
    struct Case {
        const char* locale;
        double value;
        bool whole;
        const char16_t* pattern;
        const char* text;
    } cases[] = {
        {"en_US", 0, true, u"###,###,###,###,###", ""},  // 0 under "#" alone: empty
        {"en_US", 1024, true, u"###,###,###,###,###", "1,024"},
        {"en_US", 1234567890123456.0, true, u"###,###,###", "1,234,567,890,123,456"},
        {"de_DE", 1048576, true, u"###,###,###", "1.048.576"},
        {"en_US", 0, false, u"##0.0", "0.0"},
        {"en_US", 100.14085, false, u"##0.0", "100.1"},
        {"en_US", 99.96, false, u"##0.0", "100.0"},
        {"en_US", 7.25, false, u"##0.0", "7.3"},  // halves away from zero
        {"de_DE", 3.5, false, u"##0.0", "3,5"},
        {"en_US", 12345.6, false, u"##0.0", "12345.6"},  // no "," in the pattern: no groups
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        platform::hooks::SetUserLocale(QString::fromLatin1(c.locale));
        const QString out = c.whole
                                ? platform::Format(static_cast<std::int64_t>(c.value), c.pattern)
                                : platform::Format(c.value, c.pattern);
        EXPECT_EQ(out, QString::fromLatin1(c.text));
    }
    platform::hooks::SetUserLocale(std::nullopt);
}

}  // namespace
