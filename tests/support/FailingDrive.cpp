#include "support/FailingDrive.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "support/FileSupport.h"
#include "support/MountSupport.h"

namespace testsupport {

namespace {

constexpr std::int64_t kBlock = 4096;

// A descriptor closed at the end of its scope.
struct Fd {
    explicit Fd(int value) : fd(value) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int fd;
};

}  // namespace

FailingDrive::~FailingDrive() {
    if (driveMounted_)
        ::umount2(Native(folder_).constData(), MNT_DETACH);
    if (storeMounted_)
        ::umount2(Native(store_).constData(), MNT_DETACH);
}

void FailingDrive::Mount(const QString& base, const QString& folder, int mib) {
    std::string reason;
    if (!EnterPrivateMounts(&reason))
        GTEST_SKIP() << reason;
    if (QStandardPaths::findExecutable(QStringLiteral("mkfs.ext4")).isEmpty() &&
        !QFile::exists(QStringLiteral("/sbin/mkfs.ext4"))) {
        GTEST_SKIP() << "mkfs.ext4 (e2fsprogs) is not installed";
    }
    store_ = base + QStringLiteral("/store");
    folder_ = folder;
    image_ = store_ + QStringLiteral("/drive.img");
    imageBytes_ = static_cast<std::int64_t>(mib) << 20;
    ASSERT_TRUE(QDir().mkpath(store_));
    ASSERT_TRUE(QDir().mkpath(folder_));
    // Room for the whole image and a little more: the drive works until a test
    // takes pages away.
    const QByteArray options = QStringLiteral("size=%1m").arg(mib + 4).toLatin1();
    if (::mount("tmpfs", Native(store_).constData(), "tmpfs", 0, options.constData()) != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here";
    storeMounted_ = true;
    QFile image(image_);
    ASSERT_TRUE(image.open(QIODevice::WriteOnly) && image.resize(imageBytes_));
    image.close();
    QString out;
    ASSERT_TRUE(RunTool(
        QStringLiteral("mkfs.ext4"),
        {QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("-b"), QStringLiteral("4096"),
         QStringLiteral("-O"), QStringLiteral("^has_journal"), image_},
        &out))
        << out.toStdString();
    if (!RunTool(QStringLiteral("mount"),
                 {QStringLiteral("-o"), QStringLiteral("loop"), image_, folder_}, &out)) {
        GTEST_SKIP() << "a loop device cannot be mounted here: " << out.toStdString();
    }
    driveMounted_ = true;
    ASSERT_TRUE(RunTool(
        QStringLiteral("findmnt"),
        {QStringLiteral("-n"), QStringLiteral("-o"), QStringLiteral("SOURCE"), folder_}, &out));
    device_ = out.trimmed();
    // Never write to anything but the small file system made here.
    struct statfs fs {};
    ASSERT_EQ(::statfs(Native(folder_).constData(), &fs), 0);
    ASSERT_EQ(fs.f_type, EXT4_SUPER_MAGIC) << "the folder is not the test's ext4 image";
    ASSERT_LE(static_cast<std::int64_t>(fs.f_blocks) * fs.f_bsize, imageBytes_)
        << "the folder is not the test's small ext4 image";
}

void FailingDrive::FailBlocksOf(const QString& path, std::int64_t bytes) {
    const Fd file(::open(Native(path).constData(), O_RDONLY | O_CLOEXEC));
    ASSERT_GE(file.fd, 0) << path.toStdString();
    // The data on the device first, so that every block has its place.
    ASSERT_EQ(::fsync(file.fd), 0);
    constexpr int kMost = 64;
    std::vector<char> buffer(sizeof(fiemap) + kMost * sizeof(fiemap_extent));
    auto* map = reinterpret_cast<fiemap*>(buffer.data());
    map->fm_start = 0;
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_flags = FIEMAP_FLAG_SYNC;
    map->fm_extent_count = kMost;
    ASSERT_EQ(::ioctl(file.fd, FS_IOC_FIEMAP, map), 0) << "the file's blocks cannot be mapped";
    ASSERT_GT(map->fm_mapped_extents, 0u) << "the file has no blocks";
    ASSERT_LT(map->fm_mapped_extents, static_cast<unsigned>(kMost));
    for (unsigned i = 0; i < map->fm_mapped_extents; ++i) {
        const fiemap_extent& e = map->fm_extents[i];
        const auto logical = static_cast<std::int64_t>(e.fe_logical);
        if (logical >= bytes)
            continue;
        const std::int64_t length =
            std::min(static_cast<std::int64_t>(e.fe_length), bytes - logical);
        // Whole blocks: the drive's block is the tmpfs's page.
        ASSERT_NO_FATAL_FAILURE(Drop(static_cast<std::int64_t>(e.fe_physical),
                                     (length + kBlock - 1) / kBlock * kBlock));
    }
    ASSERT_NO_FATAL_FAILURE(FillStore());
}

void FailingDrive::FailEverything() {
    ASSERT_NO_FATAL_FAILURE(Drop(0, imageBytes_));
    ASSERT_NO_FATAL_FAILURE(FillStore());
}

void FailingDrive::Drop(std::int64_t offset, std::int64_t length) {
    const Fd image(::open(Native(image_).constData(), O_RDWR | O_CLOEXEC));
    ASSERT_GE(image.fd, 0);
    ASSERT_EQ(::fallocate(image.fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, offset, length), 0)
        << "the image cannot lose its pages: " << std::strerror(errno);
}

void FailingDrive::FillStore() {
    // Never fill anything but the test's own small tmpfs.
    struct statfs fs {};
    ASSERT_EQ(::statfs(Native(store_).constData(), &fs), 0);
    ASSERT_EQ(fs.f_type, TMPFS_MAGIC) << "the store is not the test's tmpfs";
    ASSERT_LE(static_cast<std::int64_t>(fs.f_blocks) * fs.f_bsize, imageBytes_ + (8 << 20))
        << "the store is not the test's small tmpfs";
    const Fd filler(::open(Native(store_ + QStringLiteral("/filler")).constData(),
                           O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    ASSERT_GE(filler.fd, 0);
    const std::vector<char> chunk(1 << 20, 'f');
    for (std::size_t size = chunk.size(); size >= static_cast<std::size_t>(kBlock); size /= 2) {
        while (::write(filler.fd, chunk.data(), size) == static_cast<ssize_t>(size)) {
        }
    }
    ASSERT_EQ(::statfs(Native(store_).constData(), &fs), 0);
    ASSERT_EQ(fs.f_bavail, 0u) << "the store still has room";
}

}  // namespace testsupport
