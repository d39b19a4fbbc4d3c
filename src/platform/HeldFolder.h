// A folder held open: the free-space wipe's drive root and work folder, and every
// step on a name inside them. Failures throw platform::RuntimeError.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Files.h"

namespace platform {

// What a name led to when it was looked at: two names lead to one file or folder
// when their identities agree.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A folder opened once and then held: every later step on a name inside it goes
// through what was opened, never through the folder's path again, so a folder
// renamed, swapped for a link or covered by a mount meanwhile changes nothing of
// what a step reaches. No step follows a link at the name it acts on.
class HeldFolder {
  public:
    HeldFolder();
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // Opens the folder at the path; a link at its last name is not followed.
    void Open(const QString& path);
    // Opens the folder `name` inside `parent`, never through a link, and only one
    // on the parent's own mount: a folder with a file system (or a bind mount)
    // over it is error 52.
    void Open(const HeldFolder& parent, const QString& name);
    bool IsOpen() const;
    // The path it was opened by: what boxes and the file fault seam name it by.
    const QString& Path() const;
    FileIdentity Identity() const;
    // Whether the path (its last name not followed) leads to this very folder.
    bool IsAt(const QString& path) const;
    // Whether its entries can be read.
    bool CanList() const;

    // What the name inside it leads to now (a link is not followed); nothing
    // when the name is free or the folder is not open.
    std::optional<FileIdentity> IdentityOf(const QString& name) const;
    FileKind KindOf(const QString& name) const;
    // Makes the folder `name` inside it; error 58 when the name is taken.
    void MakeFolder(const QString& name);
    // The steps below act on a name only while it leads to `what`, the file or
    // folder the caller made or found there (error 53 otherwise).
    // Renames `from` to `to`, never replacing anything (error 58 when `to` is taken).
    void Rename(const QString& from, const QString& to, const FileIdentity& what);
    // Deletes the file `name`.
    void Delete(const QString& name, const FileIdentity& what);
    // Removes the empty folder `name`.
    void RemoveFolder(const QString& name, const FileIdentity& what);

    // All free bytes of its file system, as platform::TotalFreeBytes counts them,
    // or nothing when the query fails (a test's figures answer for its path).
    std::optional<std::uint64_t> FreeBytes() const;
    // Flushes everything of its file system (the file system's own records
    // included) to the device.
    void Sync() const;

  private:
    friend class FillFile;
    // The folder's descriptor, for a fill file made inside it.
    int Descriptor() const;

    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace platform
