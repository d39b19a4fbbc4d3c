// The mount-aware stat: where an object lies, read once for the tree, the walks
// and the work folder. Internal to the platform layer.
#pragma once

#include <cstdint>

namespace platform::posix {

// Where an object lies: its kind, inode and link count, the mount it was reached
// through (0 where the system cannot tell; then the device alone decides), and its
// birth time where the file system keeps one. `ok` is false when it could not be
// read (errno says why).
struct Place {
    bool ok = false;
    std::uint32_t mode = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t links = 0;
    std::uint64_t mount = 0;
    std::int64_t bornSec = 0;
    std::uint32_t bornNsec = 0;
};
// The object a name in a folder names, never through a link nor an automount
// (flags are added to the call: AT_EMPTY_PATH for the folder itself).
Place PlaceAt(int dir, const char* name, int flags = 0);
// The object an open descriptor is.
Place PlaceOf(int fd);
// Whether two objects lie on one mount (a bind mount of the same file system is
// another one): by the mounts where the system tells them, else by the devices.
bool SameMount(const Place& a, const Place& b);

}  // namespace platform::posix
