// A drive whose writes really fail: an ext4 file system on a loop device whose
// image lies on a tmpfs of its own, in the private mount namespace. Once the tmpfs
// is full, a block of the image it holds no page for cannot be written: the loop
// device fails the write, and the kernel reports it to the program as a device
// would (ENOSPC or EIO from the writeback wait, the flush or the file system's
// flush). Nothing is injected: the system calls themselves fail.
#pragma once

#include <QString>
#include <cstdint>
#include <limits>

namespace testsupport {

class FailingDrive {
  public:
    FailingDrive() = default;
    ~FailingDrive();  // unmounts the drive and its store
    FailingDrive(const FailingDrive&) = delete;
    FailingDrive& operator=(const FailingDrive&) = delete;

    // Mounts a tmpfs on base/store and, on `folder`, an ext4 file system of `mib`
    // MiB (4 KiB blocks, no journal: each write of a block goes to its own place
    // in the image) in an image on that tmpfs. Skips when there are no private
    // mounts, no mkfs.ext4 or no loop device here. Call it inside
    // ASSERT_NO_FATAL_FAILURE and return when the test IsSkipped().
    void Mount(const QString& base, const QString& folder, int mib);
    // The loop device, as the mount table names it ("/dev/loop3").
    QString Device() const { return device_; }

    // From now on no write reaches the blocks that hold the first `bytes` of
    // the file (all of it by default): the image loses its pages there, and the
    // tmpfs is filled so that it has none to give back. The rest of the drive
    // still works.
    void FailBlocksOf(const QString& path,
                      std::int64_t bytes = std::numeric_limits<std::int64_t>::max());
    // From now on no write reaches any block of the drive.
    void FailEverything();

  private:
    void Drop(std::int64_t offset, std::int64_t length);
    void FillStore();

    QString store_, image_, folder_, device_;
    std::int64_t imageBytes_ = 0;
    bool storeMounted_ = false, driveMounted_ = false;
};

}  // namespace testsupport
