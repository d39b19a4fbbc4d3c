#include <pthread.h>

#include "platform/Threads.h"

namespace platform {

void NameThisThread(const char* name) {
#ifdef __linux__
    pthread_setname_np(pthread_self(), name);
#else
    // The other systems spell the call each their own way; a name is only a help.
    (void)name;
#endif
}

}  // namespace platform
