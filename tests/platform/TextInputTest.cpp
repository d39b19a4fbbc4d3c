#include <gtest/gtest.h>

#include "platform/TextInput.h"

namespace {

using platform::DelimitedInput;
using platform::SplitLines;

TEST(SplitLines, EndsLinesAtCrLfAndAtACrAlone) {
    struct Case {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\n b\nc\n", {"a\n b\nc\n"}},  // an LF alone stays in the text
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\rb", {"a\n", "b"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitLines(QString::fromUtf8(c.text)), c.lines) << c.text;
    }
}

TEST(DecodeText, ReadsUtf8AndDropsAByteOrderMark) {
    EXPECT_EQ(platform::DecodeText("Portugu\xC3\xAAs"), QStringLiteral("Português"));
    EXPECT_EQ(platform::DecodeText("\xEF\xBB\xBF"
                                   "01 A"),
              "01 A");
    EXPECT_EQ(platform::DecodeText("a\xFF"
                                   "b")
                  .size(),
              3);  // an invalid byte is replaced
}

// Every field the input gives, in order, until the text ends.
QStringList Fields(const char* text) {
    DelimitedInput input(QString::fromUtf8(text));
    QStringList fields;
    QString field;
    while (input.ReadField(field)) fields.append(field);
    return fields;
}

TEST(DelimitedInput, SplitsFieldsAtCommasAndLineEnds) {
    struct Case {
        const char* text;
        QStringList fields;
    } cases[] = {
        {"", {}},
        {"5\r\nEnglish.lng\r\n", {"5", "English.lng"}},
        {"5\rEnglish.lng", {"5", "English.lng"}},
        {"   7  \r\n", {"7  "}},  // leading blanks only
        {"\t7", {"7"}},
        {"a,b\r\nc", {"a", "b", "c"}},
        {"a,\r\nb", {"a", "", "b"}},
        {"\r\n\r\nx", {"", "", "x"}},
        {"\"a, b\"\r\nc", {"a, b", "c"}},
        {"  \"q\" tail,next", {"q", "next"}},  // what follows a closing quote is dropped
        {"\"two\r\nlines\"\r\nx", {"two\r\nlines", "x"}},
        {"\"open", {"open"}},
        {"1\n2\r\n3", {"1\n2", "3"}},  // an LF alone is no line end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Fields(c.text), c.fields) << c.text;
    }
}

TEST(DelimitedInput, LeavesTheFieldAloneAtTheEnd) {
    DelimitedInput input(QStringLiteral("only\r\n"));
    QString a = "old a", b = "old b";
    EXPECT_TRUE(input.ReadField(a));
    EXPECT_FALSE(input.ReadField(b));
    EXPECT_EQ(a, "only");
    EXPECT_EQ(b, "old b");
    EXPECT_TRUE(input.AtEnd());
}

}  // namespace
