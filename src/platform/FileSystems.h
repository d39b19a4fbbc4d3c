// The file systems the kernel keeps for itself (proc, sysfs, efivarfs and the
// like): they hold settings and switches, not data. Writing a pass into one (a
// sysrq trigger, a firmware variable) would act on the machine, and none of them
// is a drive. Internal to the platform layer.
#pragma once

#include <QString>
#include <cstdint>

namespace platform::detail {

// By the type name the mount table gives.
bool IsKernelFileSystem(const QString& type);

// The type number of statfs(2)'s field, whatever its width and sign: its 32 low
// bits. The field is a signed int on some systems and a signed long on others, so
// a number with its high bit set can arrive negative and sign-extended.
std::uint32_t FileSystemTypeOf(long long field);

// By the type number statfs(2) gives, taken as its 32 bits: the field is signed
// on some systems, and a number with its high bit set must not gain a sign. Two of
// them report the number of a memory file system that holds files (tmpfs, ramfs),
// so they are known by name only.
bool IsKernelFileSystemType(std::uint32_t number);

// Whether the type number is that of a file system held in memory (tmpfs, ramfs).
bool IsMemoryFileSystemType(std::uint32_t number);

// Whether the type number is that of a file system that writes every change to
// new blocks (btrfs, bcachefs, zfs): a file written over keeps its old blocks on
// the device until the free space they return to is written.
bool IsCopyOnWriteType(std::uint32_t number);

}  // namespace platform::detail
