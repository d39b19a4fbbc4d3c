// The count of the names a folder run's files have inside its tree: a file with
// several names is changed only when every one of them lies there.
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

#include "platform/Place.h"
#include "platform/PosixIo.h"
#include "platform/TreeAnchorState.h"
#include "platform/TreeCensus.h"

namespace platform {

namespace {

using posix::Place;
using posix::PlaceAt;
using posix::PlaceOf;
using posix::SameMount;

posix::FileKey KeyOfPlace(const Place& p) {
    return {p.device, p.inode, p.bornSec, p.bornNsec, 0};
}

bool HasBirthTime(const Place& p) {
    return p.bornSec != 0 || p.bornNsec != 0;
}

// The inode's generation: a new number each time the inode is given to a file.
// A descriptor that only pins the file is opened again through /proc to ask.
std::uint32_t GenerationOf(int fd) {
    int g = 0;  // the kernel writes an int, whatever the request's declared type
    if (::ioctl(fd, FS_IOC_GETVERSION, &g) == 0)
        return static_cast<std::uint32_t>(g);
    if (errno != EBADF)
        return 0;
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    const posix::Fd readable(::open(proc, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!readable.IsOpen() || ::ioctl(readable.Get(), FS_IOC_GETVERSION, &g) != 0)
        return 0;
    return static_cast<std::uint32_t>(g);
}

posix::FileKey CensusKeyOf(const Place& p, int fd) {
    posix::FileKey k = KeyOfPlace(p);
    if (!HasBirthTime(p))
        k.generation = GenerationOf(fd);
    return k;
}

// Every name of a file with several names that the run's walk can reach: real
// folders on the top's mount, each once, and files on their folder's mount.
void TakeCensus(TreeAnchor::State& a) {
    a.censusTaken = true;
    std::set<std::pair<dev_t, ino_t>> entered;
    std::vector<QByteArray> todo{QByteArray()};
    while (!todo.empty()) {
        const QByteArray rel = std::move(todo.back());
        todo.pop_back();
        const int fd = posix::tree::ResolveBeneath(a, rel, O_RDONLY | O_DIRECTORY, 0);
        if (fd < 0)
            continue;
        const Place self = PlaceOf(fd);
        DIR* dir =
            self.ok && SameMount(self, a.place) && entered.insert({self.device, self.inode}).second
                ? ::fdopendir(fd)
                : nullptr;
        if (!dir) {
            ::close(fd);
            continue;
        }
        while (const dirent* d = ::readdir(dir)) {
            const char* raw = d->d_name;
            if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
                continue;
            const Place p = PlaceAt(fd, raw);
            if (!p.ok || !SameMount(p, self))
                continue;
            if (S_ISDIR(p.mode)) {
                todo.push_back(rel.isEmpty() ? QByteArray(raw) : rel + '/' + raw);
            } else if (S_ISREG(p.mode) && p.links > 1) {
                posix::FileKey key = KeyOfPlace(p);
                if (!HasBirthTime(p)) {
                    const posix::Fd file(::openat(fd, raw, O_PATH | O_NOFOLLOW | O_CLOEXEC));
                    if (!file.IsOpen() || KeyOfPlace(PlaceOf(file.Get())) != key)
                        continue;  // not counted: such a file is left alone
                    key = CensusKeyOf(p, file.Get());
                }
                ++a.names[key];
            }
        }
        ::closedir(dir);
    }
}

}  // namespace

namespace posix {

FileKey CensusKey(int fd) {
    return CensusKeyOf(PlaceOf(fd), fd);
}

bool MayChangeLinked(TreeAnchor* beneath, const QString& path, int fd, const struct stat& st) {
    if (!S_ISREG(st.st_mode) || st.st_nlink <= 1)
        return true;
    const Place p = PlaceOf(fd);
    TreeAnchor::State* a = tree::StateOf(beneath);
    if (!tree::IsBeneath(a, path) || !a->fd.IsOpen())
        return false;
    if (!a->censusTaken)
        TakeCensus(*a);
    const auto it = a->names.find(CensusKeyOf(p, fd));
    return it != a->names.end() && it->second >= p.links;
}

bool NoteLeftAlone(TreeAnchor* beneath, int fd) {
    TreeAnchor::State* a = tree::StateOf(beneath);
    return !a || a->leftAlone.insert(CensusKey(fd)).second;
}

void NoteNameRemoved(TreeAnchor* beneath, const FileKey& key) {
    TreeAnchor::State* a = tree::StateOf(beneath);
    if (!a)
        return;
    const auto it = a->names.find(key);
    if (it != a->names.end() && it->second > 0)
        --it->second;
}

FileKey CensusKeyAt(int dir, const char* name) {
    const Place p = PlaceAt(dir, name);
    if (!p.ok || !S_ISREG(p.mode))
        return {};
    if (p.links <= 1 || HasBirthTime(p))
        return KeyOfPlace(p);
    const Fd file(::openat(dir, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    return file.IsOpen() ? CensusKey(file.Get()) : FileKey{};
}

}  // namespace posix

}  // namespace platform
