// The count of files left with their data at the end of a run: what the run
// could not wipe is in it once, and what it wiped is not.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "OperationFixture.h"
#include "engine/Dialog.h"
#include "platform/DroppedFiles.h"
#include "platform/FileDialogs.h"
#include "support/FailingDrive.h"

namespace apptest {
namespace {

const QString kCompleted = QStringLiteral("E17     ");
const QString kKeptOne = QStringLiteral("E17\r\rE841");

class NotWipedCountTest : public OperationTest {};

// A dropped "/" is refused, and the drop's end counts it. The drop runs in a
// child process of this test, started afresh and shut in a folder of the test's
// own (chroot) once its window is up: even a broken refusal could reach nothing
// but that folder.
TEST_F(NotWipedCountTest, ADroppedRootIsCountedAsLeft) {
    if (const char* jail = std::getenv("QUELLIX_TEST_JAIL")) {
        // Out of the folder again at the end, whatever failed: the end of the
        // process (the leak check) reads the system's /proc.
        struct Outside {
            int fd = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ~Outside() {
                if (fd >= 0 && ::fchdir(fd) == 0 && ::chroot(".") == 0)
                    ::close(fd);
            }
        } outside;
        ASSERT_GE(outside.fd, 0);
        ASSERT_EQ(::chroot(jail), 0) << std::strerror(errno);
        ASSERT_EQ(::chdir("/"), 0);
        platform::DataObject data;
        data.Files = QStringList{QStringLiteral("/")};
        form().RilasciaFiles(
            data, platform::effect::Copy | platform::effect::Move | platform::effect::Link);
        EXPECT_EQ(testsupport::ReadFile(QStringLiteral("/inside.txt")), "stays");
        ASSERT_EQ(boxes.boxes.size(), 2u);
        EXPECT_NE(boxes.boxes[1].prompt, kCompleted) << "the drop ended with a plain \"Completed\"";
        EXPECT_EQ(boxes.boxes[1].prompt, kKeptOne);
        return;
    }
    if (!testsupport::RunningAsRoot())
        GTEST_SKIP() << "shutting a process in a folder of its own (chroot) needs root";
    const QString jail = folder_.File(QStringLiteral("jail"));
    ASSERT_TRUE(QDir().mkpath(jail));
    folder_.Write(QStringLiteral("jail/inside.txt"), "stays");
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    exe[n] = 0;
    const std::string filter = "--gtest_filter=NotWipedCountTest.ADroppedRootIsCountedAsLeft";
    const QByteArray where = QFile::encodeName(jail);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("QUELLIX_TEST_JAIL", where.constData(), 1);
        ::execl(exe, exe, filter.c_str(), "--gtest_brief=1", static_cast<char*>(nullptr));
        _exit(98);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    ASSERT_NE(WEXITSTATUS(status), 98) << "the child could not start";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the drop in the child failed (its output above)";
    EXPECT_EQ(testsupport::ReadFile(jail + QStringLiteral("/inside.txt")), "stays");
}

// A name that is not valid UTF-8 is renamed before it is wiped; the listing
// that renamed it may meet it again under its new name, and the wipe takes it
// once. On ext4 a folder of many entries is listed in the order of their names'
// hashes, in several batches: a new name that hashes past the batch read comes
// again in a later one (for one of the thirty names here, all but surely).
TEST_F(NotWipedCountTest, EntriesRenamedForTheirNamesAreWipedAndCountedOnce) {
    const QString drive = folder_.File(QStringLiteral("drive"));
    testsupport::FailingDrive ext4;  // used as a plain drive: nothing fails
    ASSERT_NO_FATAL_FAILURE(ext4.Mount(folder_.Path(), drive, 16));
    if (IsSkipped())
        return;
    const QString top = drive + QStringLiteral("/R");
    ASSERT_TRUE(QDir().mkpath(top));
    for (int i = 0; i < 30; ++i) {
        const QByteArray raw = QFile::encodeName(top) + "/u\xFF" + QByteArray::number(i);
        QFile f;
        ASSERT_TRUE(
            f.open(::fopen(raw.constData(), "w"), QIODevice::WriteOnly, QFile::AutoCloseHandle));
        ASSERT_EQ(f.write("m"), 1);
    }
    for (int i = 0; i < 1500; ++i)
        folder_.Write(QStringLiteral("drive/R/a-name-long-enough-to-fill-the-batch-%1").arg(i), "");
    form().Combo1.SetListIndex(1);
    testsupport::HookGuard hooks;
    hooks.Set(platform::hooks::SetFolderPickerHook, [&](const QString&) { return top; });
    form().Command3_Click();
    EXPECT_FALSE(QFileInfo::exists(top));
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].prompt, kCompleted);
}

}  // namespace
}  // namespace apptest
