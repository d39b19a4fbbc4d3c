// What the fill files of a free-space wipe hold, block by block.
#include <sys/mount.h>

#include <QDir>
#include <QFile>
#include <set>

#include "AppFixture.h"
#include "engine/RandomFill.h"
#include "engine/Wipe.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "support/MountSupport.h"

namespace apptest {
namespace {

constexpr int kBlock = 1024000;

class FreeSpaceFillTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string reason;
        if (!testsupport::EnterPrivateMounts(&reason))
            GTEST_SKIP() << reason;
        drive_ = folder_.File(QStringLiteral("drive"));
        ASSERT_TRUE(QDir().mkpath(drive_));
        ASSERT_EQ(::mount("tmpfs", QFile::encodeName(drive_).constData(), "tmpfs", 0, "size=8m"), 0)
            << "tmpfs cannot be mounted here";
        mounted_ = true;
        // Never fill anything but the small tmpfs made here.
        ASSERT_NO_FATAL_FAILURE(testsupport::AssertSmallTmpfs(drive_, 8LL << 20));
        platform::hooks::SetMountedVolumes(
            std::vector<platform::MountedVolume>{
                {QStringLiteral("/"), QStringLiteral("/dev/sda1"), QStringLiteral("ext4")},
                {drive_, QStringLiteral("quellix-test"), QStringLiteral("ext4")},
            },
            drive_);
        StartUp();
        ASSERT_EQ(form().Drive1.Drive(), drive_);
    }
    void TearDown() override {
        testsupport::ResetEngineState();
        if (mounted_)
            ::umount2(QFile::encodeName(drive_).constData(), MNT_DETACH);
        AppTest::TearDown();
    }

    QString drive_;
    bool mounted_ = false;
    testsupport::BoxRecorder boxes_;
};

// Each random block is drawn for itself: no two full blocks of a run are the
// same, so a fill file is no one megabyte repeated.
TEST_F(FreeSpaceFillTest, EveryRandomBlockIsDrawnAnew) {
    for (int method : {2, 7}) {
        SCOPED_TRACE(method);
        form().Combo1.SetListIndex(method);
        boxes_.boxes.clear();
        testsupport::WriteRecorder rec;
        form().Command2_Click();
        std::set<QByteArray> blocks;
        std::size_t full = 0;
        for (const auto& w : rec.writes) {
            // The constant blocks of method 7 ("255"s and "0"s) repeat, as they should.
            if (w.data.size() != kBlock || w.data.count(w.data[0]) == w.data.size())
                continue;
            ++full;
            blocks.insert(w.data);
        }
        EXPECT_GE(full, 4u);
        EXPECT_EQ(blocks.size(), full) << "a block written twice";
        ASSERT_EQ(boxes_.boxes.size(), 2u);
        EXPECT_EQ(boxes_.boxes[1].title, QStringLiteral("E18"));
        EXPECT_TRUE(QDir(drive_).isEmpty());
    }
}

// Every full block holds what its pass writes, in the order of the method's
// cycle: a constant block kept from the block before is never left holding the
// random bytes drawn in between, with helpers and without them.
TEST_F(FreeSpaceFillTest, EveryBlockHoldsItsPassInTheOrderOfTheCycle) {
    using K = engine::PassKind;
    for (int helpers : {-1, 0}) {
        for (int method : {1, 3, 6}) {
            SCOPED_TRACE(testing::Message() << "method " << method << ", helpers " << helpers);
            engine::random::RandomHelpers::SetCount(helpers);
            form().Combo1.SetListIndex(method);
            boxes_.boxes.clear();
            testsupport::WriteRecorder rec;
            form().Command2_Click();
            const auto cycle = engine::PassesOf(method);
            std::size_t full = 0;
            // Up to the first short block: a full drive starts the cycle over.
            for (; full < rec.writes.size() && rec.writes[full].data.size() == kBlock; ++full) {
                const QByteArray& data = rec.writes[full].data;
                const K kind = cycle[full % cycle.size()];
                if (kind == K::Random)
                    EXPECT_LT(data.count(data[0]), data.size()) << "block " << full;
                else
                    EXPECT_EQ(data, QByteArray(kBlock, kind == K::Zeros ? '0' : '1'))
                        << "block " << full;
            }
            EXPECT_GE(full, 4u);
            EXPECT_TRUE(QDir(drive_).isEmpty());
        }
    }
    engine::random::RandomHelpers::SetCount(-1);
}

}  // namespace
}  // namespace apptest
