// A file of a run, found once and held from then on.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

namespace platform {

class TreeAnchor;

// A file found once, when its wipe begins: its folder (beneath the run's top in
// a folder or drop run) and the file itself are opened then, never through a
// link. Every later step goes through that folder and acts only while the name
// still leads to the very file held; a name that leads to anything else by then
// is an error of that step (53), and nothing else is touched. Holding the file
// also keeps its inode from being given to another file meanwhile.
class HeldFile {
  public:
    // Throws when the path's folder no longer resolves inside the run's tree;
    // a name that leads to nothing, or not to a regular file, is held as such.
    explicit HeldFile(const QString& path, TreeAnchor* beneath = nullptr);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    // The existence test of the per-file wipe: a regular file that is not a link
    // (a link, fifo, socket, device or folder counts as a system file), nor a
    // file of the kernel's own file systems.
    bool IsNormalFile() const;
    // The file's name now: the one it was held under, then the one it was given.
    const QString& Path() const;
    TreeAnchor* Beneath() const;
    // Whether the file lies on a file system that writes every change to new
    // blocks (btrfs, bcachefs, zfs): writing over the file leaves its old blocks.
    bool OnCopyOnWrite() const;
    // Gives the owner read and write permission, quietly; never to a file with
    // names outside the run.
    void SetNormalAttributes() const;
    // Gives the file a new name in its folder (the last name of `path`), never
    // replacing anything (58).
    void Rename(const QString& path);
    // Removes the file's name.
    void Delete();

    // The system's side of what is held.
    struct State;
    const State& Held() const { return *s_; }

  private:
    std::unique_ptr<State> s_;
};

}  // namespace platform
