// Folders for the walks of a wiped tree: listing, making, renaming and removing,
// never through a symbolic link. Names are raw bytes underneath: an entry whose
// name is not valid UTF-8 is given a random ASCII name of its own when it is
// listed (never replacing anything), so that it can be wiped and removed too.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

class TreeAnchor;

// The bounds of one walk: the very mount its top folder lies on, and the folders
// entered so far. A walk never crosses into another mount (a bind mount of the
// same file system included) and never enters a folder twice.
class FolderWalk {
  public:
    explicit FolderWalk(const QString& top, TreeAnchor* beneath = nullptr);
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // True the first time for a folder of the walk: a real folder (not a link),
    // on the top's mount, not entered before. Marks it entered.
    bool Enter(const QString& path);
    // The subfolders of a folder as full paths without a trailing separator, in
    // the order the file system lists them: only real folders on the walk's
    // mount not entered yet. Empty when the folder cannot be read.
    QStringList Subfolders(const QString& path);

  private:
    TreeAnchor* beneath_;
    struct State;
    std::unique_ptr<State> s_;
};

// What a listing could not give: files that keep their data unless a later
// listing reaches them.
struct ListingGaps {
    // The folder is there but could not be opened or read (gone or empty is no gap).
    bool unreadable = false;
    // Entries whose names could not be given a name of their own to be wiped under.
    int unnamed = 0;
    // Entries that are mount points (a folder or a file mounted there): what they
    // hide stays, and the folder cannot go.
    int mounts = 0;
};

// The names of the entries of a folder that are not folders (files, links,
// fifos, sockets, devices), in the order the file system lists them, leaving out
// an entry that is a mount point. Empty when the folder cannot be read; a link
// to a folder is never read through.
QStringList FolderFiles(const QString& path, ListingGaps* gaps = nullptr,
                        TreeAnchor* beneath = nullptr);

// Creates a folder; error 58 when the name is taken, by anything.
void MakeFolder(const QString& path);
// Removes an empty folder (never a link); beneath a folder run's top, through
// the folder resolved there.
void RemoveFolder(const QString& path, TreeAnchor* beneath = nullptr);
// Renames a folder; never replaces anything, an empty folder included (error 58).
void RenameFolder(const QString& from, const QString& to, TreeAnchor* beneath = nullptr);

// Whether the path names the system's root folder, however it is spelled.
bool IsRootFolder(const QString& path);

}  // namespace platform
