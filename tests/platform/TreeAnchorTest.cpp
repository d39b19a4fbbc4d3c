// Names of a folder run resolved beneath its top: what a link or a mount inside
// the tree can no longer lead the file and folder layers to.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "platform/Errors.h"
#include "platform/FileInfo.h"
#include "platform/Files.h"
#include "platform/FillFiles.h"
#include "platform/Folders.h"
#include "platform/HeldFile.h"
#include "platform/TreeAnchor.h"
#include "support/FileSupport.h"
#include "support/MountSupport.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

struct Reach {
    const char* what;
    // Acts on `at`, a name of the tree whose folder leads outside; true when it
    // went through (no error thrown and, for the queries, an answer found).
    std::function<bool(const QString& at)> call;
};

bool Throws(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::RuntimeError&) {
        return true;
    }
    return false;
}

// Every operation of the layer, on names below `via` (a link or a mount in the
// tree that shows `outside`), with the run's top held. None may reach what lies
// outside.
void ExpectNothingReached(const QString& top, platform::TreeAnchor* anchor, const QString& via,
                          const QString& outside) {
    using platform::HeldFile;
    const Reach reaches[] = {
        {"byte access",
         [&](const QString& at) {
             return !Throws([&] { platform::ByteFile f(HeldFile(at + "/f", anchor)); });
         }},
        {"truncation",
         [&](const QString& at) {
             return !Throws([&] {
                 platform::OutputFile f;
                 f.Open(HeldFile(at + "/f", anchor));
             });
         }},
        {"creation",
         [&](const QString& at) {
             return !Throws([&] {
                 platform::OutputFile f;
                 f.Open(HeldFile(at + "/new", anchor));
             });
         }},
        {"kind",
         [&](const QString& at) {
             return platform::KindOf(at + "/f", anchor) != platform::FileKind::Missing;
         }},
        {"existence",
         [&](const QString& at) {
             bool found = false;
             return !Throws([&] { found = platform::ExistsNormalFile(at + "/f", anchor); }) &&
                    found;
         }},
        {"held existence",
         [&](const QString& at) {
             bool found = false;
             return !Throws([&] { found = HeldFile(at + "/f", anchor).IsNormalFile(); }) && found;
         }},
        {"length",
         [&](const QString& at) {
             return !Throws([&] { platform::ByteFile(HeldFile(at + "/f", anchor)).Length(); });
         }},
        {"attributes",
         [&](const QString& at) {
             platform::SetNormalAttributes(at + "/ro", anchor);
             (void)Throws([&] { HeldFile(at + "/ro", anchor).SetNormalAttributes(); });
             return ModeOf(outside + "/ro") != 0400;
         }},
        {"rename",
         [&](const QString& at) {
             return !Throws([&] { HeldFile(at + "/f", anchor).Rename(at + "/g"); });
         }},
        {"delete",
         [&](const QString& at) {
             return !Throws([&] { platform::DeleteFile(at + "/f", anchor); });
         }},
        {"held delete",
         [&](const QString& at) { return !Throws([&] { HeldFile(at + "/f", anchor).Delete(); }); }},
        {"listing",
         [&](const QString& at) {
             platform::ListingGaps gaps;
             return !platform::FolderFiles(at, &gaps, anchor).isEmpty() || !gaps.unreadable;
         }},
        {"walk",
         [&](const QString& at) {
             platform::FolderWalk walk(top, anchor);
             return walk.Enter(at) || !walk.Subfolders(at).isEmpty();
         }},
        {"folder rename",
         [&](const QString& at) {
             return !Throws([&] { platform::RenameFolder(at + "/d", at + "/e", anchor); });
         }},
        {"folder removal",
         [&](const QString& at) {
             return !Throws([&] { platform::RemoveFolder(at + "/d", anchor); });
         }},
    };
    for (bool stepwise : {false, true}) {
        platform::hooks::SetStepwiseResolution(stepwise);
        for (const Reach& r : reaches) {
            EXPECT_FALSE(r.call(via)) << r.what << (stepwise ? ", name by name" : "");
        }
    }
    platform::hooks::SetStepwiseResolution(false);
    EXPECT_EQ(ReadFile(outside + "/f"), "outside");
    EXPECT_EQ(ModeOf(outside + "/ro"), 0400u);
    EXPECT_TRUE(QFileInfo(outside + "/d").isDir());
    EXPECT_FALSE(QFileInfo::exists(outside + "/new"));
    EXPECT_FALSE(QFileInfo::exists(outside + "/g"));
    EXPECT_FALSE(QFileInfo::exists(outside + "/e"));
}

class TreeAnchorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        top_ = folder_.File("top");
        outside_ = folder_.File("outside");
        ASSERT_TRUE(QDir().mkpath(top_ + "/real/d"));
        ASSERT_TRUE(QDir().mkpath(outside_ + "/d"));
        folder_.Write("outside/f", "outside");
        folder_.Write("outside/ro", "read only");
        ASSERT_EQ(::chmod(Native(outside_ + "/ro").constData(), 0400), 0);
        folder_.Write("top/real/f", "inside");
    }
    void TearDown() override { platform::hooks::SetStepwiseResolution(false); }

    TempFolder folder_;
    QString top_, outside_;
};

TEST_F(TreeAnchorTest, ALinkedFolderInsideTheTreeLeadsNowhere) {
    ASSERT_EQ(::symlink(Native(outside_).constData(), Native(top_ + "/link").constData()), 0);
    ASSERT_EQ(::symlink("../outside", Native(top_ + "/rel").constData()), 0);
    platform::TreeAnchor anchor(top_);
    ExpectNothingReached(top_, &anchor, top_ + "/link", outside_);
    // A relative link leads nowhere either.
    ExpectNothingReached(top_, &anchor, top_ + "/rel", outside_);
    // One level further down, through a relative link that climbs out, and
    // through a trailing separator of the top.
    ASSERT_EQ(::symlink("../../../outside", Native(top_ + "/real/d/link").constData()), 0);
    platform::TreeAnchor trailing(top_ + "/");
    ExpectNothingReached(top_ + "/", &trailing, top_ + "/real/d/link", outside_);
    // The tree itself is reached in either way of resolving.
    for (bool stepwise : {false, true}) {
        platform::hooks::SetStepwiseResolution(stepwise);
        EXPECT_TRUE(platform::ExistsNormalFile(top_ + "/real/f", &anchor));
        EXPECT_TRUE(platform::HeldFile(top_ + "//real/f", &trailing).IsNormalFile());
        EXPECT_EQ(platform::FolderFiles(top_ + "/real", nullptr, &anchor), QStringList{"f"});
    }
}

TEST_F(TreeAnchorTest, AMountInsideTheTreeLeadsNowhere) {
    std::string reason;
    if (!EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    ASSERT_TRUE(QDir().mkpath(top_ + "/m"));
    ASSERT_EQ(::mount(Native(outside_).constData(), Native(top_ + "/m").constData(), nullptr,
                      MS_BIND, nullptr),
              0);
    {
        platform::TreeAnchor anchor(top_);
        ExpectNothingReached(top_, &anchor, top_ + "/m", outside_);
    }
    EXPECT_EQ(::umount2(Native(top_ + "/m").constData(), MNT_DETACH), 0);
}

TEST_F(TreeAnchorTest, TheTopIsRenamedAndRemovedThroughItsOwnFolder) {
    const QString renamed = folder_.File("renamed");
    {
        platform::TreeAnchor anchor(top_);
        platform::RenameFolder(top_, renamed, &anchor);
        // Its tree is reached under the new name only.
        EXPECT_EQ(platform::FolderFiles(renamed + "/real", nullptr, &anchor), QStringList{"f"});
        EXPECT_TRUE(platform::FolderFiles(top_ + "/real", nullptr, &anchor).isEmpty());
        platform::DeleteFile(renamed + "/real/f", &anchor);
        platform::RemoveFolder(renamed + "/real/d", &anchor);
        platform::RemoveFolder(renamed + "/real", &anchor);
        platform::RemoveFolder(renamed, &anchor);
        EXPECT_FALSE(QFileInfo::exists(renamed));
    }
    // A folder put where the top was, once the top was moved away by someone else,
    // is not the top: the run neither renames nor removes it.
    ASSERT_TRUE(QDir().mkpath(top_));
    platform::TreeAnchor anchor(top_);
    ASSERT_EQ(::rename(Native(top_).constData(), Native(renamed).constData()), 0);
    ASSERT_TRUE(QDir().mkdir(top_));
    EXPECT_TRUE(Throws([&] { platform::RenameFolder(top_, folder_.File("other"), &anchor); }));
    EXPECT_TRUE(Throws([&] { platform::RemoveFolder(top_, &anchor); }));
    EXPECT_TRUE(QFileInfo(top_).isDir());
    EXPECT_FALSE(QFileInfo::exists(folder_.File("other")));
}

}  // namespace
