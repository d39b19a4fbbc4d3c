// The folder layer under the folder wipe: what it lists and what it never replaces.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <functional>

#include "platform/Errors.h"
#include "platform/FillFiles.h"
#include "platform/Folders.h"
#include "support/FileSupport.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

// Some error, whichever number the system's reason maps to.
constexpr int kAny = -1;

TEST(Folders, MakeRenameAndRemoveNeverReplaceOrLoseWhatIsThere) {
    TempFolder folder;
    const QString a = folder.File("a"), b = folder.File("b"), c = folder.File("c");
    ASSERT_TRUE(QDir().mkdir(a));
    ASSERT_TRUE(QDir().mkdir(b));  // empty: rename(2) alone would replace it
    folder.Write("a/f.txt", "f");
    folder.Write("file", "x");
    const struct {
        const char* what;
        std::function<void()> call;
        int error;
    } cases[] = {
        {"rename onto an empty folder", [&] { platform::RenameFolder(a, b); }, 58},
        {"rename onto a file", [&] { platform::RenameFolder(a, folder.File("file")); }, 58},
        {"make a folder that exists", [&] { platform::MakeFolder(b); }, 58},
        {"remove a folder that is not empty", [&] { platform::RemoveFolder(a); }, kAny},
        {"rename to a free name", [&] { platform::RenameFolder(a, c); }, 0},
        {"remove an empty folder", [&] { platform::RemoveFolder(b); }, 0},
        {"make a new folder", [&] { platform::MakeFolder(b); }, 0},
    };
    for (const auto& k : cases) {
        const int e = ErrorOf(k.call);
        EXPECT_TRUE(k.error == kAny ? e != 0 : e == k.error) << k.what << ": " << e;
    }
    EXPECT_EQ(ReadFile(c + "/f.txt"), "f");
    EXPECT_TRUE(QFileInfo(b).isDir());
    EXPECT_EQ(ReadFile(folder.File("file")), "x");
}

TEST(Folders, ListingsNeverReadThroughALinkAndKeepEntriesApart) {
    TempFolder folder;
    const QString top = folder.File("top");
    ASSERT_TRUE(QDir().mkpath(top + "/sub"));
    folder.Write("top/f.txt", "f");
    folder.Write("elsewhere.txt", "e");
    ASSERT_EQ(::symlink(QFile::encodeName(folder.File("elsewhere.txt")).constData(),
                        QFile::encodeName(top + "/flink").constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(top + "/sub").constData(),
                        QFile::encodeName(top + "/dlink").constData()),
              0);
    QStringList files = platform::FolderFiles(top);
    files.sort();
    EXPECT_EQ(files, (QStringList{"dlink", "f.txt", "flink"})) << "links are entries";
    EXPECT_TRUE(platform::FolderFiles(top + "/dlink").isEmpty()) << "never read through";

    platform::FolderWalk walk(top);
    EXPECT_TRUE(walk.Enter(top));
    EXPECT_FALSE(walk.Enter(top)) << "entered once";
    EXPECT_FALSE(walk.Enter(top + "/dlink"));
    EXPECT_EQ(walk.Subfolders(top), QStringList{top + "/sub"});
    EXPECT_TRUE(walk.Enter(top + "/sub"));
    EXPECT_TRUE(walk.Subfolders(top).isEmpty()) << "a folder entered is not listed again";
    EXPECT_FALSE(platform::FolderWalk(top + "/dlink").Enter(top + "/dlink")) << "a linked top";
    EXPECT_FALSE(platform::FolderWalk("/").Enter("/"));
    EXPECT_TRUE(platform::IsRootFolder("/"));
    EXPECT_TRUE(platform::IsRootFolder("//"));
    EXPECT_FALSE(platform::IsRootFolder(top));
}

}  // namespace
