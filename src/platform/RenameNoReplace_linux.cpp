#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/RenameNoReplace.h"

namespace platform {

namespace posix {

int RenameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to, bool folder) {
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (!folder) {
        if (::linkat(fromDir, from, toDir, to, 0) != 0)
            return errno;
        if (::unlinkat(fromDir, from, 0) != 0) {
            int e = errno;
            ::unlinkat(toDir, to, 0);
            return e;
        }
        return 0;
    }
    if (::mkdirat(toDir, to, 0700) != 0)
        return errno;
    if (::renameat(fromDir, from, toDir, to) != 0) {
        int e = errno;
        ::unlinkat(toDir, to, AT_REMOVEDIR);
        return e;
    }
    return 0;
}

}  // namespace posix

}  // namespace platform
