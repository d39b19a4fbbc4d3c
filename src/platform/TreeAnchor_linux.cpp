// A folder run's names resolved beneath its top folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#if __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#endif

#include <QFile>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Place.h"
#include "platform/PosixIo.h"
#include "platform/TreeAnchor.h"
#include "platform/TreeAnchorState.h"

namespace platform {

namespace {

// The argument of openat2(2), as the kernel defines it.
struct OpenHow {
    std::uint64_t flags;
    std::uint64_t mode;
    std::uint64_t resolve;
};
constexpr std::uint64_t kResolveNoXdev = 0x01;
constexpr std::uint64_t kResolveNoSymlinks = 0x04;
constexpr std::uint64_t kResolveBeneath = 0x08;
#ifdef RESOLVE_BENEATH
static_assert(sizeof(OpenHow) == sizeof(struct open_how));
static_assert(kResolveNoXdev == RESOLVE_NO_XDEV && kResolveNoSymlinks == RESOLVE_NO_SYMLINKS &&
              kResolveBeneath == RESOLVE_BENEATH);
#endif

// A path handed to openat2 stays well below PATH_MAX; a longer one is resolved
// in pieces, each beneath the folder the one before it reached.
constexpr qsizetype kPiece = 3072;

using posix::Place;
using posix::PlaceAt;
using posix::PlaceOf;
using posix::SameMount;

using Anchor = TreeAnchor::State;

// Whether the system has openat2: -1 until it was asked.
int g_openat2 = -1;

// A folder the resolution reached: the anchor's top (its descriptor is the
// anchor's), or one opened for it.
struct Folder {
    int fd = -1;
    posix::Fd own;  // fd, when it is not the top's
};

QString Trimmed(const QString& path) {
    return CleanPath(path);
}

enum class Where { Outside, Top, Beneath };

// Where the path lies for the run's anchor; *rel gets the part below the top.
// The test is on whole names: a top "/a/Q" holds "/a/Q/x", never "/a/Quellix".
Where Locate(const Anchor* a, const QString& path, QByteArray* rel = nullptr) {
    if (!a)
        return Where::Outside;
    const QString p = Trimmed(path);
    const QString& top = a->top;
    if (p == top)
        return Where::Top;
    const QString prefix = top.endsWith(QLatin1Char('/')) ? top : top + QLatin1Char('/');
    if (p.size() > prefix.size() && p.startsWith(prefix)) {
        if (rel)
            *rel = posix::NativePath(p.mid(prefix.size()));
        return Where::Beneath;
    }
    return Where::Outside;
}

// The names of a relative path; false for a path that climbs out with "..".
bool Split(const QByteArray& rel, std::vector<QByteArray>* names) {
    for (const QByteArray& n : rel.split('/')) {
        if (n.isEmpty() || n == ".")
            continue;
        if (n == "..")
            return false;
        names->push_back(n);
    }
    return true;
}

long CallOpenat2(int dir, const char* path, std::uint64_t flags, std::uint64_t mode,
                 std::uint64_t resolve) {
#ifdef SYS_openat2
    OpenHow how{flags, mode, resolve};
    return ::syscall(SYS_openat2, dir, path, &how, sizeof how);
#else
    (void)dir, (void)path, (void)flags, (void)mode, (void)resolve;
    errno = ENOSYS;
    return -1;
#endif
}

// Whether names are resolved one by one: where the system has no openat2 (older
// kernels, and sandboxes that refuse it, with ENOSYS or EPERM alike).
bool Stepwise() {
    if (detail::StepwiseResolution())
        return true;
    if (g_openat2 < 0) {
        const long fd = CallOpenat2(AT_FDCWD, "/", O_PATH | O_CLOEXEC, 0, 0);
        g_openat2 = fd >= 0 ? 1 : 0;
        if (fd >= 0)
            ::close(static_cast<int>(fd));
    }
    return g_openat2 == 0;
}

int Openat2(int dir, const char* path, int flags, unsigned mode) {
    const std::uint64_t m = (flags & O_CREAT) ? mode : 0;
    for (int tries = 0;; ++tries) {
        const long fd = CallOpenat2(dir, path, static_cast<std::uint64_t>(flags), m,
                                    kResolveBeneath | kResolveNoSymlinks | kResolveNoXdev);
        if (fd >= 0)
            return static_cast<int>(fd);
        // EAGAIN: a rename elsewhere on the file system raced the resolution.
        if (errno == EINTR || (errno == EAGAIN && tries < 32))
            continue;
        if (errno == ENOSYS)
            g_openat2 = 0;
        return -1;
    }
}

// One name opened in a folder, never as a link nor on another mount than the top.
int OpenStep(const Anchor& a, int dir, const char* name, int flags, unsigned mode) {
    int fd;
    do {
        fd = ::openat(dir, name, flags | O_NOFOLLOW | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    const Place p = PlaceOf(fd);
    if (!p.ok || !SameMount(p, a.place)) {
        const int e = p.ok ? EXDEV : errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    return fd;
}

// The folder the first n names lead to from the top.
Folder OpenFolders(const Anchor& a, const std::vector<QByteArray>& names, std::size_t n) {
    Folder dir{a.fd.Get(), {}};
    std::size_t i = 0;
    while (i < n) {
        if (!Stepwise()) {
            QByteArray piece = names[i++];
            while (i < n && piece.size() + 1 + names[i].size() < kPiece) piece += '/' + names[i++];
            const int fd = Openat2(dir.fd, piece.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
            if (fd >= 0) {
                dir.own = posix::Fd(fd);
                dir.fd = fd;
                continue;
            }
            if (errno != ENOSYS)
                return {};
            return OpenFolders(a, names, n);
        }
        posix::Fd next(OpenStep(a, dir.fd, names[i].constData(), O_PATH, 0));
        if (!next.IsOpen())
            return {};
        if (const Place p = PlaceOf(next.Get()); !S_ISDIR(p.mode)) {
            next = posix::Fd();
            errno = S_ISLNK(p.mode) ? ELOOP : ENOTDIR;
            return {};
        }
        dir.fd = next.Get();
        dir.own = std::move(next);
        ++i;
    }
    return dir;
}

// The last name, opened in its folder as openat2 would open it.
int OpenLeaf(const Anchor& a, int dir, const char* name, int flags, unsigned mode) {
    if (!Stepwise()) {
        const int fd = Openat2(dir, name, flags | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != ENOSYS)
            return fd;
    }
    return OpenStep(a, dir, name, flags, mode);
}

bool IsTop(const Anchor& a, const Place& p) {
    return p.ok && p.device == a.place.device && p.inode == a.place.inode;
}

// The top itself, from the descriptor the run holds, wherever its name went:
// a descriptor that only pins it is copied; anything else opens the descriptor's
// /proc entry, which names the held folder and no path. Where there is no /proc,
// the top is opened by its name in its folder while that name still holds it.
int OpenTop(const Anchor& a, int flags) {
    if (flags & O_PATH)
        return ::fcntl(a.fd.Get(), F_DUPFD_CLOEXEC, 0);
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", a.fd.Get());
    int fd;
    do {
        fd = ::open(proc, (flags & ~(O_CREAT | O_NOFOLLOW)) | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 && !IsTop(a, PlaceOf(fd))) {
        ::close(fd);
        fd = -1;
    }
    if (fd >= 0)
        return fd;
    do {
        fd = ::openat(a.parent.Get(), a.leaf.constData(),
                      (flags & ~O_CREAT) | O_NOFOLLOW | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 && !IsTop(a, PlaceOf(fd))) {
        ::close(fd);
        errno = ENOENT;
        return -1;
    }
    return fd;
}

int OpenBeneath(const Anchor& a, const QByteArray& rel, int flags, unsigned mode) {
    if (!a.fd.IsOpen()) {
        errno = ENOENT;
        return -1;
    }
    std::vector<QByteArray> names;
    if (!Split(rel, &names)) {
        errno = EXDEV;
        return -1;
    }
    if (names.empty())
        return OpenTop(a, flags);
    const QByteArray joined = names.size() == 1 ? names.front() : rel;
    if (!Stepwise() && joined.size() < kPiece && !joined.startsWith('/')) {
        const int fd =
            Openat2(a.fd.Get(), joined.constData(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != ENOSYS)
            return fd;
    }
    const Folder dir = OpenFolders(a, names, names.size() - 1);
    if (dir.fd < 0)
        return -1;
    return OpenLeaf(a, dir.fd, names.back().constData(), flags, mode);
}

using posix::FolderPart;
using posix::OpenFolderOf;

bool IsTopAt(const Anchor& a, int dir, const char* name) {
    return IsTop(a, PlaceAt(dir, name));
}

using posix::tree::StateOf;

}  // namespace

namespace posix::tree {

bool IsBeneath(const TreeAnchor::State* a, const QString& path) {
    return Locate(a, path) == Where::Beneath;
}

int ResolveBeneath(const TreeAnchor::State& a, const QByteArray& rel, int flags, unsigned mode) {
    return OpenBeneath(a, rel, flags, mode);
}

}  // namespace posix::tree

TreeAnchor::TreeAnchor(const QString& top) : s_(std::make_unique<State>()) {
    State& a = *s_;
    a.top = Trimmed(top);
    if (a.top.isEmpty() || IsRootFolder(a.top) || HasDotNames(a.top))
        return;  // never a run's folder: nothing beneath it resolves
    a.parent = posix::Fd(OpenFolderOf(a.top, &a.leaf));
    if (!a.parent.IsOpen() || a.leaf.isEmpty() || a.leaf == "." || a.leaf == "..")
        return;
    a.fd = posix::Fd(::openat(a.parent.Get(), a.leaf.constData(),
                              O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (a.fd.IsOpen())
        a.place = PlaceOf(a.fd.Get());
}

TreeAnchor::~TreeAnchor() = default;

bool TreeAnchor::IsOpen() const {
    return s_->fd.IsOpen();
}

const QString& TreeAnchor::Top() const {
    return s_->top;
}

namespace posix {

// The folder part of a path, and its last name.
QString FolderPart(const QString& path, QByteArray* leaf) {
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    if (leaf)
        *leaf = NativePath(path.mid(cut + 1));
    return cut < 0 ? QStringLiteral(".") : cut == 0 ? QStringLiteral("/") : path.left(cut);
}

// Opens the folder of a path as the user named it (links followed: it lies
// outside the tree), and the name in it.
int OpenFolderOf(const QString& path, QByteArray* leaf) {
    return ::open(NativePath(FolderPart(path, leaf)).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

int OpenNoFollow(TreeAnchor* beneath, const QString& path, int flags, unsigned mode) {
    const Anchor* a = StateOf(beneath);
    QByteArray rel;
    switch (Locate(a, path, &rel)) {
        case Where::Outside: {
            int fd;
            do {
                fd = ::open(NativePath(path).constData(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
            } while (fd < 0 && errno == EINTR);
            return fd;
        }
        case Where::Top:
            rel.clear();
            break;
        case Where::Beneath:
            break;
    }
    return OpenBeneath(*a, rel, flags, mode);
}

Fd OpenOwned(TreeAnchor* beneath, const QString& path, int flags, unsigned mode) {
    Fd fd(OpenNoFollow(beneath, path, flags, mode));
    if (!fd.IsOpen()) {
        RaiseErrno(errno);
    }
    return fd;
}

ParentOf::ParentOf(TreeAnchor* beneath, const QString& path) : dir_(AT_FDCWD) {
    const Anchor* a = StateOf(beneath);
    QByteArray rel;
    switch (Locate(a, path, &rel)) {
        case Where::Outside: {
            // A name beside the top (its new names in the last pass) goes through
            // the folder the run opened the top in.
            QByteArray leaf;
            if (a && a->parent.IsOpen() && FolderPart(Trimmed(path), &leaf) == FolderPart(a->top) &&
                !leaf.isEmpty() && leaf != "." && leaf != "..") {
                dir_ = a->parent.Get();
                name_ = leaf;
            } else {
                name_ = NativePath(path);
            }
            return;
        }
        case Where::Top:
            anchored_ = true;
            name_ = a->leaf;
            dir_ = a->parent.Get();
            // The top's name is used only while it still names the top.
            if (!a->fd.IsOpen() || !IsTopAt(*a, dir_, name_.constData()))
                error_ = ENOENT;
            return;
        case Where::Beneath:
            break;
    }
    anchored_ = true;
    std::vector<QByteArray> names;
    if (!a->fd.IsOpen()) {
        error_ = ENOENT;
        return;
    }
    if (!Split(rel, &names) || names.empty()) {
        error_ = EXDEV;
        return;
    }
    name_ = names.back();
    Folder dir = OpenFolders(*a, names, names.size() - 1);
    if (dir.fd < 0) {
        error_ = errno;
        return;
    }
    dir_ = dir.fd;
    own_ = std::move(dir.own);
}

ParentOf::~ParentOf() = default;

int ParentOf::Release(Fd* owner) {
    *owner = std::move(own_);
    return dir_;
}

bool Anchored(TreeAnchor* beneath, const QString& path) {
    return Locate(StateOf(beneath), path) != Where::Outside;
}

bool LeftTheTree(int e) {
    return e == ELOOP || e == EXDEV || e == ENOTDIR;
}

void NoteTopRenamed(TreeAnchor* beneath, const QString& from, const QString& to) {
    Anchor* ap = StateOf(beneath);
    if (Locate(ap, from) != Where::Top)
        return;
    Anchor& a = *ap;
    QByteArray leaf;
    if (FolderPart(Trimmed(to), &leaf) != FolderPart(a.top)) {
        a.parent = posix::Fd(OpenFolderOf(Trimmed(to), &leaf));
    }
    a.leaf = leaf;
    a.top = Trimmed(to);
    if (!a.parent.IsOpen() || !IsTopAt(a, a.parent.Get(), leaf.constData())) {
        // Lost track of it: the top and its tree no longer resolve.
        a.fd = posix::Fd();
    }
}

}  // namespace posix

}  // namespace platform
