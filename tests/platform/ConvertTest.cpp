#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/Convert.h"
#include "platform/Errors.h"

namespace {

using platform::LeadingNumber;

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"", 0},        {"abc", 0},       {"7", 7},       {"  7", 7},
        {"\t-3", -3},   {"+5", 5},        {"2.5", 2.5},   {".5", 0.5},
        {"5.", 5},      {"12abc", 12},    {"1.2.3", 1.2}, {"3 4", 3},
        {"-", 0},       {"-.", 0},        {"- 3", 0},     {"1e3", 1000},
        {"1E-2", 0.01}, {"2e", 2},        {"2e+", 2},     {"4,5", 4},
        {"1e400", inf}, {"-1e400", -inf}, {"1e-400", 0},  {"0e999999999999999999999", 0},
        {"١٢", 0},  // only ASCII digits make a number
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LeadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
    }
    // A long run of digits beyond a double's range overflows rather than vanishing.
    EXPECT_EQ(LeadingNumber(QString(400, QLatin1Char('9'))), inf);
    EXPECT_EQ(LeadingNumber(QStringLiteral("0.") + QString(400, QLatin1Char('0')) + "1"), 0);
}

TEST(ToInteger, RoundsHalvesToEvenAndRaisesOverflow) {
    struct Case {
        double value;
        int result;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.49, 0}, {8.6, 9}, {-32768.4, -32768}};
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ToInteger16(c.value), c.result) << c.value;
    }
    for (double v :
         {32767.5, -32768.6, 40000.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        try {
            platform::ToInteger16(v);
            ADD_FAILURE() << "no overflow for " << v;
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.Number(), platform::err::Overflow) << v;
        }
    }
    EXPECT_EQ(platform::ToInteger32(40000.5), 40000);
    EXPECT_THROW(platform::ToInteger32(2147483647.5), platform::RuntimeError);
}

TEST(Str, PutsABlankBeforeANumberThatIsNotNegative) {
    EXPECT_EQ(platform::Str(5), " 5");
    EXPECT_EQ(platform::Str(0), " 0");
    EXPECT_EQ(platform::Str(-1), "-1");
    EXPECT_EQ(platform::TrimStr(5), "5");
    EXPECT_EQ(platform::TrimStr(-1), "-1");
    EXPECT_EQ(platform::TrimStr(12345678901234), "12345678901234");
}

TEST(Trim, RemovesOnlyLeadingAndTrailingBlanks) {
    EXPECT_EQ(platform::Trim(u"  a b \t"), "a b");
    EXPECT_EQ(platform::Trim(u" \t "), "");
    EXPECT_EQ(platform::Trim(u"\r\na\n"), "\r\na\n");
}

}  // namespace
