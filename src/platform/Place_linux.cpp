#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>

#include "platform/Place.h"

namespace platform::posix {

Place PlaceAt(int dir, const char* name, int flags) {
    Place p;
    struct statx sx {};
    if (::statx(dir, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | flags,
                STATX_TYPE | STATX_INO | STATX_NLINK | STATX_MNT_ID | STATX_BTIME, &sx) == 0) {
        p.ok = true;
        p.mode = sx.stx_mode;
        p.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
        p.inode = sx.stx_ino;
        p.links = sx.stx_nlink;
        p.mount = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : 0;
        if (sx.stx_mask & STATX_BTIME) {
            p.bornSec = sx.stx_btime.tv_sec;
            p.bornNsec = sx.stx_btime.tv_nsec;
        }
        return p;
    }
    if (errno != ENOSYS)
        return p;
    // A kernel older than statx: no mount, no birth time.
    struct stat st {};
    if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | flags) != 0)
        return p;
    p.ok = true;
    p.mode = st.st_mode;
    p.device = st.st_dev;
    p.inode = st.st_ino;
    p.links = st.st_nlink;
    return p;
}

Place PlaceOf(int fd) {
    return PlaceAt(fd, "", AT_EMPTY_PATH);
}

bool SameMount(const Place& a, const Place& b) {
    return a.mount != 0 && b.mount != 0 ? a.mount == b.mount : a.device == b.device;
}

}  // namespace platform::posix
