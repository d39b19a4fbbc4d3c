// What the wipe needs to know about a path beyond opening it: making it
// writable and its length.
#pragma once

#include <QString>
#include <cstdint>

namespace platform {

class TreeAnchor;

// Gives the owner read and write permission, and search permission on a folder.
// Never acts through a symbolic link and leaves anything that is neither a file
// nor a folder alone; every failure is silent.
void SetNormalAttributes(const QString& path, TreeAnchor* beneath = nullptr);

// The length in bytes of a regular file, not through a link. Error 53 when the
// path names no regular file, error 6 when the length does not fit.
std::int64_t FileLength(const QString& path);

}  // namespace platform
