// Starting programs: refused until the program enables it, then detached.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QThread>

#include "platform/Shell.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

bool AppearsWithin(const QString& path, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (QFileInfo::exists(path))
            return true;
        QThread::msleep(50);
    }
    return false;
}

// Each test runs in a process of its own, so enabling starts stays inside it.
TEST(ShellTest, NothingStartsUntilStartsAreEnabled) {
    TempFolder folder;
    const QString marker = folder.File(QStringLiteral("marker"));
    EXPECT_FALSE(platform::StartDetached(QStringLiteral("touch"), {marker}));
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(marker));
}

TEST(ShellTest, AnEnabledStartReturnsBeforeTheProgramEnds) {
    TempFolder folder;
    const QString marker = folder.File(QStringLiteral("marker"));
    platform::EnableStarts();
    // Output on both streams goes nowhere; the program outlives the call.
    ASSERT_TRUE(platform::StartDetached(
        QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("echo out; echo err >&2; sleep 2; touch \"$0\""),
         marker}));
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_TRUE(AppearsWithin(marker, 20));

    EXPECT_FALSE(platform::StartDetached(folder.File(QStringLiteral("no-such-program")), {}));
}

TEST(ShellTest, AHookSeesEveryStartInsteadOfTheSystem) {
    std::vector<platform::CommandLine> seen;
    platform::EnableStarts();
    platform::hooks::SetStartHook([&](const QString& p, const QStringList& a) {
        seen.push_back({p, a});
        return true;
    });
    EXPECT_TRUE(platform::StartDetached(QStringLiteral("no-such-program"), {QStringLiteral("x")}));
    platform::hooks::SetStartHook(nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].program, QStringLiteral("no-such-program"));
    EXPECT_EQ(seen[0].arguments, QStringList{QStringLiteral("x")});
}

}  // namespace
