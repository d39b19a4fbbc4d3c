// What a program without windows gets where a window would ask or show.
#include <gtest/gtest.h>

#include "platform/Messages.h"

namespace {

TEST(NoWindow, ABoxIsAnsweredAsEscWouldAnswerItSoNothingIsConfirmedUnseen) {
    namespace mb = platform::mb;
    const struct {
        int style;
        int answer;
    } cases[] = {{mb::OkOnly | mb::Information, mb::Ok},
                 {mb::YesNo | mb::Question, mb::No},
                 {mb::YesNo | mb::Exclamation | mb::DefaultButton2, mb::No}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_EQ(platform::MsgBox(QStringLiteral("prompt"), c.style, QStringLiteral("title")),
                  c.answer);
    }
}

}  // namespace
