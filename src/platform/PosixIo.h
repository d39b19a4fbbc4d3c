// The pieces of file access that the POSIX implementations of the file, fill-file
// and folder layers share. Internal to the platform layer: only the _unix files
// include it.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/Files.h"
#include "platform/HeldFile.h"

struct stat;

namespace platform::posix {

// A path in the file system's own byte encoding.
QByteArray NativePath(const QString& path);

// The sole owner of an open descriptor. Dropped, it closes the descriptor
// quietly (nothing is left to report a failure to); Close() reports one.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    ~Fd();
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Hands the descriptor over: nothing closes it here any more.
    int Release() { return std::exchange(fd_, -1); }
    // Closes the descriptor; a failure close(2) reports is an error (one
    // interrupted has closed all the same).
    void Close();

  private:
    int fd_ = -1;
};

// The errno value of the failure a test asked the operation to meet
// (hooks::Fault), or 0.
int InjectedErrno(hooks::FileOp op, const QString& path);
// Throws the error a test asked the operation to fail with, if it asked.
void MaybeFail(hooks::FileOp op, const QString& path);

// Writes every byte, at *offset when given (advanced by what was written, also
// when a later part fails), else at the file position; a write that makes no
// progress is a full disk. Throws the program's error on failure.
void WriteAll(int fd, const void* data, std::size_t size, std::int64_t* offset);

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

// ---- Names of a folder run, resolved beneath its top (platform::TreeAnchor) ----

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

// The folder part of a path ("." for a bare name, "/" at the root), and its last
// name in the file system's bytes.
QString FolderPart(const QString& path, QByteArray* leaf = nullptr);
// Opens the folder of a path as the user named it (links followed: it lies outside
// any run's tree) to act on its last name, which *leaf gets; -1 on failure.
int OpenFolderOf(const QString& path, QByteArray* leaf);

// Opens the path with flags | O_NOFOLLOW | O_CLOEXEC (mode when O_CREAT is among
// them). A path beneath the anchor's top is resolved from the top's descriptor:
// no component is followed as a link and none lies on another mount; the top
// itself is reopened from its own descriptor. Anything else is opened as it is.
// -1 with errno set on failure.
int OpenNoFollow(TreeAnchor* beneath, const QString& path, int flags, unsigned mode = 0);
// The same, owned; a failure is an error.
Fd OpenOwned(TreeAnchor* beneath, const QString& path, int flags, unsigned mode = 0);

// The folder holding a path's last name, and that name, for the *at calls: the
// folder resolved beneath the anchor's top, the top's own folder for the top
// itself (while that name still holds the top), and the current folder with the
// whole path for anything outside the tree.
class ParentOf {
  public:
    ParentOf(TreeAnchor* beneath, const QString& path);
    ~ParentOf();
    ParentOf(const ParentOf&) = delete;
    ParentOf& operator=(const ParentOf&) = delete;

    // 0, or the errno value that says why the folder could not be resolved.
    int Error() const { return error_; }
    int Dir() const { return dir_; }
    const char* Name() const { return name_.constData(); }
    bool Anchored() const { return anchored_; }
    // Hands the folder over: *owner gets the descriptor when it was opened for
    // this name (else the folder is the anchor's and lives as long as it).
    int Release(Fd* owner);

  private:
    int dir_;
    Fd own_;  // dir_, when the folder was opened for this name
    bool anchored_ = false;
    QByteArray name_;
    int error_ = 0;
};

// Whether the path is the anchor's top or lies beneath it.
bool Anchored(TreeAnchor* beneath, const QString& path);
// Whether an errno value of a resolution beneath the top says that the path no
// longer lies inside the tree: a component became a link, a file or a mount.
bool LeftTheTree(int errnoValue);

// Whether the open file may be changed: anything but a regular file with other
// names; such a file only when every one of its names lies inside the anchored
// run's tree and the path is one of them. `st` is what fstat(2) says of it.
bool MayChangeLinked(TreeAnchor* beneath, const QString& path, int fd, const struct stat& st);
// Records a file left alone for its other names; false when the run left it
// alone before.
bool NoteLeftAlone(TreeAnchor* beneath, int fd);
// Tells the anchor that the run removed one name of the file.
void NoteNameRemoved(TreeAnchor* beneath, const FileKey& key);
// Tells the anchor that its top was renamed (nothing when `from` is not the top).
void NoteTopRenamed(TreeAnchor* beneath, const QString& from, const QString& to);

// Renames within or across held folders without ever replacing what is at `to`:
// renameat2 with RENAME_NOREPLACE; where the file system lacks it, a file is
// hard-linked and then unlinked (which cannot replace either; where hard links
// are missing too, the rename fails), and for a folder an empty folder of the
// program's own is made at `to` first, so that only it can be replaced. 0 or the
// errno value.
int RenameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to, bool folder);

// Opens the held file's name in its held folder (flags | O_NOFOLLOW | O_CLOEXEC)
// and checks that it is still the file held; a failure is an error, a name that
// leads elsewhere error 53.
Fd OpenHeld(const HeldFile& held, int flags);

}  // namespace platform::posix

namespace platform {

// What a held file holds: its folder, its name there, the file itself (a
// descriptor that pins it without opening it for reading or writing) and its key.
struct HeldFile::State {
    QString path;
    TreeAnchor* beneath = nullptr;
    posix::Fd ownDir;  // dir, when it is not the anchor's own
    int dir = -1;
    QByteArray name;
    posix::Fd file;
    posix::FileKey key;
    bool normal = false;
    bool copyOnWrite = false;
};

}  // namespace platform
