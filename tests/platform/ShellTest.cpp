// Starting programs: refused until the program enables it, then detached.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
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

// A command line that creates `marker` at once.
platform::CommandLine Touch(const QString& marker) {
    return {QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("touch \"$0\""), marker}};
}

// Each test runs in a process of its own, so enabling starts stays inside it.
TEST(ShellTest, NothingStartsUntilStartsAreEnabled) {
    TempFolder folder;
    const QString refused = folder.File(QStringLiteral("refused"));
    const QString started = folder.File(QStringLiteral("started"));
    EXPECT_FALSE(platform::StartDetached(Touch(refused)));
    // The same program, started after the refused one: had that one run too, its
    // marker would be there by the time this one's is.
    platform::EnableStarts();
    ASSERT_TRUE(platform::StartDetached(Touch(started)));
    ASSERT_TRUE(AppearsWithin(started, 20));
    EXPECT_FALSE(QFileInfo::exists(refused));
}

TEST(ShellTest, AnEnabledStartReturnsBeforeTheProgramEnds) {
    TempFolder folder;
    const QString gate = folder.File(QStringLiteral("gate"));
    const QString marker = folder.File(QStringLiteral("marker"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(gate).constData(), 0600), 0);
    platform::EnableStarts();
    // The program waits for a line on the fifo before it makes its marker, so it
    // cannot end before the call returns; a call that waited would hang here.
    // Output on both streams goes nowhere.
    ASSERT_TRUE(platform::StartDetached(
        QStringLiteral("sh"),
        {QStringLiteral("-c"),
         QStringLiteral("echo out; echo err >&2; read line < \"$0\"; touch \"$1\""), gate,
         marker}));
    EXPECT_FALSE(QFileInfo::exists(marker));
    {
        QFile fifo(gate);
        ASSERT_TRUE(fifo.open(QIODevice::WriteOnly));  // waits for the program to open its end
        ASSERT_EQ(fifo.write("go\n"), 3);
    }
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
