#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <set>
#include <utility>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Place.h"
#include "platform/PosixIo.h"
#include "platform/RenameNoReplace.h"
#include "platform/TreeAnchorState.h"

namespace platform {

namespace {

using posix::Place;

bool IsFolder(const Place& p) {
    return S_ISDIR(p.mode);
}

// The entry a name in a folder names, not through a link; false when it cannot be read.
bool StatAt(int dirfd, const char* name, Place* out, int flags = 0) {
    *out = posix::PlaceAt(dirfd, name, flags);
    return out->ok;
}

// A name of 24 capital letters for an entry whose own name is not valid UTF-8.
QByteArray AsciiName() {
    QByteArray name(24, 'A');
    for (char& c : name) c = static_cast<char>('A' + QRandomGenerator::system()->bounded(26));
    return name;
}

struct Entry {
    QString name;
    Place where;
};

// The entries of a folder in the order the file system lists them, the folder
// opened without following a link. `keep` says which entries the caller wants,
// given each entry and the folder itself; those whose names do not survive the
// trip through a QString are renamed first.
// *error gets the errno value when the folder could not be opened or read, and
// *unnamed the entries left out because they could not be renamed.
template <class Keep>
std::vector<Entry> ReadFolder(TreeAnchor* beneath, const QString& path, Keep keep,
                              int* error = nullptr, int* unnamed = nullptr) {
    std::vector<Entry> entries;
    int unused = 0, unusedCount = 0;
    int& failure = error ? *error : unused;
    int& left = unnamed ? *unnamed : unusedCount;
    failure = 0;
    left = 0;
    if (path.isEmpty()) {
        failure = ENOENT;
        return entries;
    }
    if ((failure = posix::InjectedErrno(hooks::FileOp::List, path)) != 0)
        return entries;
    posix::Fd folder(posix::OpenNoFollow(beneath, path, O_RDONLY | O_DIRECTORY));
    if (!folder.IsOpen()) {
        failure = errno;
        return entries;
    }
    Place self;
    DIR* dir = StatAt(folder.Get(), "", &self, AT_EMPTY_PATH) ? ::fdopendir(folder.Get()) : nullptr;
    if (!dir) {
        failure = errno != 0 ? errno : EIO;
        return entries;
    }
    // The listing owns the descriptor now.
    const int fd = folder.Release();
    // An entry renamed here may be listed again under its new name.
    std::set<QByteArray> renamed;
    for (;;) {
        errno = 0;
        dirent* d = ::readdir(dir);
        if (!d) {
            if (errno != 0)
                failure = errno;
            break;
        }
        const char* raw = d->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0)))
            continue;
        if (!renamed.empty() && renamed.count(QByteArray(raw)))
            continue;
        // Every entry is looked at, a file too: a file can be a mount point.
        Place where;
        if (!StatAt(fd, raw, &where))
            continue;  // gone since it was listed
        if (!keep(where, self))
            continue;
        QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw) {
            QByteArray ascii;
            int e = EEXIST;
            for (int tries = 0; tries < 8 && e == EEXIST; ++tries) {
                ascii = AsciiName();
                e = posix::RenameNoReplaceAt(fd, raw, fd, ascii.constData(), IsFolder(where));
            }
            if (e != 0) {
                ++left;
                continue;
            }
            renamed.insert(ascii);
            name = QString::fromLatin1(ascii);
        }
        entries.push_back({std::move(name), where});
    }
    ::closedir(dir);
    return entries;
}

// Where the path lies, not through a link; beneath a folder run's top, resolved there.
bool StatPath(TreeAnchor* beneath, const QString& path, Place* out) {
    if (path.isEmpty())
        return false;
    if (!posix::Anchored(beneath, path))
        return StatAt(AT_FDCWD, posix::NativePath(path).constData(), out);
    const posix::Fd fd(posix::OpenNoFollow(beneath, path, O_PATH));
    return fd.IsOpen() && StatAt(fd.Get(), "", out, AT_EMPTY_PATH);
}

}  // namespace

struct FolderWalk::State {
    bool valid = false;
    Place top;
    std::set<std::pair<dev_t, ino_t>> entered;

    bool Inside(const Place& w) const { return valid && IsFolder(w) && posix::SameMount(w, top); }
};

FolderWalk::FolderWalk(const QString& top, TreeAnchor* beneath)
    : beneath_(beneath), s_(std::make_unique<State>()) {
    s_->valid = !top.isEmpty() && !IsRootFolder(top) && StatPath(beneath, top, &s_->top) &&
                IsFolder(s_->top);
}

FolderWalk::~FolderWalk() = default;

bool FolderWalk::Enter(const QString& path) {
    Place w;
    if (!StatPath(beneath_, path, &w) || !s_->Inside(w))
        return false;
    return s_->entered.insert({w.device, w.inode}).second;
}

QStringList FolderWalk::Subfolders(const QString& path) {
    QStringList out;
    for (const Entry& e : ReadFolder(beneath_, path, [this](const Place&w, const Place&) {
             return s_->Inside(w) && !s_->entered.count({w.device, w.inode});
         })) {
        out << JoinPath(path, e.name);
    }
    return out;
}

QStringList FolderFiles(const QString& path, ListingGaps* gaps, TreeAnchor* beneath) {
    QStringList out;
    // An entry on another mount than its folder (a file bind-mounted here, or a
    // folder that is a mount point) shows what lies outside the tree: it is left,
    // and counted, for what it hides keeps its data. The mount decides where the
    // system tells it: a file of an overlay may give the device of the layer it
    // comes from.
    int error = 0, unnamed = 0, mounts = 0;
    for (const Entry& e : ReadFolder(
             beneath, path,
             [&](const Place&w, const Place&folder) {
                 if (!posix::SameMount(w, folder)) {
                     ++mounts;
                     return false;
                 }
                 return !IsFolder(w);
             },
             &error, &unnamed)) {
        out << e.name;
    }
    if (gaps) {
        gaps->unreadable = error != 0 && error != ENOENT;
        gaps->unnamed = unnamed;
        gaps->mounts = mounts;
    }
    return out;
}

void MakeFolder(const QString& path) {
    if (::mkdir(posix::NativePath(path).constData(), 0700) != 0)
        RaiseErrno(errno);
}

void RemoveFolder(const QString& path, TreeAnchor* beneath) {
    const posix::ParentOf p(beneath, path);
    if (p.Error() != 0)
        RaiseErrno(p.Error());
    if (::unlinkat(p.Dir(), p.Name(), AT_REMOVEDIR) != 0)
        RaiseErrno(errno);
}

void RenameFolder(const QString& from, const QString& to, TreeAnchor* beneath) {
    const posix::ParentOf a(beneath, from), b(beneath, to);
    for (const posix::ParentOf* p : {&a, &b}) {
        if (p->Error() != 0)
            RaiseErrno(p->Error());
    }
    if (int e = posix::RenameNoReplaceAt(a.Dir(), a.Name(), b.Dir(), b.Name(), true); e != 0)
        RaiseErrno(e);
    posix::NoteTopRenamed(beneath, from, to);
}

bool IsRootFolder(const QString& path) {
    const QByteArray native = posix::NativePath(path);
    struct stat st {
    }, root{};
    return !native.isEmpty() && ::stat(native.constData(), &st) == 0 && ::stat("/", &root) == 0 &&
           st.st_dev == root.st_dev && st.st_ino == root.st_ino;
}

}  // namespace platform
