// The count of the names a folder run's files have inside its tree, and the key
// that tells one file from every other while a run lasts. Internal to the
// platform layer.
#pragma once

#include <QString>
#include <compare>
#include <cstdint>

struct stat;

namespace platform {

class TreeAnchor;

namespace posix {

// What tells one file from every other while a run lasts: its device and inode,
// and its birth time where the file system keeps one, so that an inode number
// freed and given to a new file is not taken for the old one.
struct FileKey {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t bornSec = 0;
    std::uint32_t bornNsec = 0;
    // The inode's generation, where there is no birth time (a census key only).
    std::uint32_t generation = 0;
    auto operator<=>(const FileKey&) const = default;
};
// The key the count of a run's names goes by: it holds the generation too where
// the file system keeps no birth time, so that a file the run does not hold can
// never pass for one that was counted.
FileKey CensusKey(int fd);
FileKey CensusKeyAt(int dir, const char* name);

// Whether the open file may be changed: anything but a regular file with other
// names; such a file only when every one of its names lies inside the anchored
// run's tree and the path is one of them. `st` is what fstat(2) says of it.
bool MayChangeLinked(TreeAnchor* beneath, const QString& path, int fd, const struct stat& st);
// Records a file left alone for its other names; false when the run left it
// alone before.
bool NoteLeftAlone(TreeAnchor* beneath, int fd);
// Tells the anchor that the run removed one name of the file.
void NoteNameRemoved(TreeAnchor* beneath, const FileKey& key);

}  // namespace posix

}  // namespace platform
