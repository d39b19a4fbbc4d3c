// A held folder acts through what it opened, and on a name only while that name
// still leads to what the caller made there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/FillFiles.h"
#include "support/FileSupport.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ErrorOf;
using testsupport::ReadFile;
using testsupport::TempFolder;

platform::FileIdentity Make(const platform::HeldFolder& folder, const QString& name) {
    platform::FillFile file;
    file.Create(folder, name);
    file.Write("fill", 4);
    file.Close();
    return file.Identity();
}

TEST(HeldFolder, ANameIsRenamedOrRemovedOnlyWhileItLeadsToWhatWasMadeThere) {
    TempFolder tmp;
    const QString top = tmp.File(QStringLiteral("top"));
    ASSERT_TRUE(QDir().mkpath(top + QStringLiteral("/sub")));
    platform::HeldFolder held;
    held.Open(top);
    EXPECT_TRUE(held.IsAt(top));

    // A folder inside is opened only as a folder: not through a link, not a file.
    ASSERT_TRUE(QFile::link(top + QStringLiteral("/sub"), top + QStringLiteral("/link")));
    tmp.Write(QStringLiteral("top/file"), "x");
    platform::HeldFolder inner;
    EXPECT_EQ(ErrorOf([&] { inner.Open(held, QStringLiteral("link")); }), 76);
    EXPECT_EQ(ErrorOf([&] { inner.Open(held, QStringLiteral("file")); }), 76);
    inner.Open(held, QStringLiteral("sub"));
    EXPECT_EQ(inner.Path(), top + QStringLiteral("/sub"));

    // The run's file is swapped for a user's under its name: neither step touches it.
    const platform::FileIdentity made = Make(held, QStringLiteral("fill"));
    ASSERT_EQ(::rename(QFile::encodeName(top + "/fill").constData(),
                       QFile::encodeName(top + "/moved").constData()),
              0);
    tmp.Write(QStringLiteral("top/fill"), "the user's");
    EXPECT_EQ(ErrorOf([&] { held.Rename(QStringLiteral("fill"), QStringLiteral("Z"), made); }), 53);
    EXPECT_EQ(ErrorOf([&] { held.Delete(QStringLiteral("fill"), made); }), 53);
    EXPECT_EQ(ReadFile(top + QStringLiteral("/fill")), "the user's");
    // Under the name it went to, the run's file goes; a taken name is never replaced.
    tmp.Write(QStringLiteral("top/taken"), "kept");
    EXPECT_EQ(ErrorOf([&] { held.Rename(QStringLiteral("moved"), QStringLiteral("taken"), made); }),
              58);
    EXPECT_EQ(ReadFile(top + QStringLiteral("/taken")), "kept");
    held.Rename(QStringLiteral("moved"), QStringLiteral("Z"), made);
    held.Delete(QStringLiteral("Z"), made);
    EXPECT_FALSE(held.IdentityOf(QStringLiteral("Z")));

    // A folder swapped for another empty one stays.
    const platform::FileIdentity sub = inner.Identity();
    ASSERT_TRUE(QDir(top).rename(QStringLiteral("sub"), QStringLiteral("sub.old")));
    ASSERT_TRUE(QDir(top).mkdir(QStringLiteral("sub")));
    EXPECT_EQ(ErrorOf([&] { held.RemoveFolder(QStringLiteral("sub"), sub); }), 53);
    EXPECT_TRUE(QFileInfo(top + QStringLiteral("/sub")).isDir());
    held.RemoveFolder(QStringLiteral("sub.old"), sub);

    // The folder moved away is still the one held: what is made goes there.
    ASSERT_TRUE(QDir(tmp.Path()).rename(QStringLiteral("top"), QStringLiteral("elsewhere")));
    ASSERT_TRUE(QDir().mkpath(top));
    EXPECT_FALSE(held.IsAt(top));
    Make(held, QStringLiteral("after"));
    EXPECT_EQ(ReadFile(tmp.File(QStringLiteral("elsewhere/after"))), "fill");
    EXPECT_TRUE(QDir(top).isEmpty());
}

}  // namespace
