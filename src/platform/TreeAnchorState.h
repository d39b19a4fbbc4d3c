// The system's side of a held top: its state, shared by the resolution beneath
// it (TreeAnchor_linux.cpp) and the count of the names its files have inside the
// tree (TreeCensus_linux.cpp), and the resolution of a run's names that the other
// platform files go through. Internal to the platform layer.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <set>

#include "platform/Place.h"
#include "platform/PosixIo.h"
#include "platform/TreeAnchor.h"
#include "platform/TreeCensus.h"

namespace platform {

struct TreeAnchor::State {
    QString top;       // without a trailing separator
    QByteArray leaf;   // the top's name in its folder
    posix::Fd parent;  // the top's folder, as the user named it
    posix::Fd fd;      // the top itself
    posix::Place place;
    bool censusTaken = false;
    // The names each file with several names has inside the tree, less those the
    // run removed since.
    std::map<posix::FileKey, std::uint64_t> names;
    std::set<posix::FileKey> leftAlone;
};

namespace posix::tree {

inline TreeAnchor::State* StateOf(TreeAnchor* t) {
    return t ? &t->Held() : nullptr;
}
// Whether the path lies beneath the held top (the top itself excluded).
bool IsBeneath(const TreeAnchor::State* a, const QString& path);
// Opens a path relative to the top as OpenNoFollow does; -1 with errno set.
int ResolveBeneath(const TreeAnchor::State& a, const QByteArray& rel, int flags, unsigned mode);

}  // namespace posix::tree

namespace posix {

// ---- Names of a folder run, resolved beneath its top (platform::TreeAnchor) ----

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

// Tells the anchor that its top was renamed (nothing when `from` is not the top).
void NoteTopRenamed(TreeAnchor* beneath, const QString& from, const QString& to);

}  // namespace posix

}  // namespace platform
