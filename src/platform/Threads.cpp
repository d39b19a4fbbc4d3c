#include "platform/Threads.h"

#if defined(__linux__)
#include <pthread.h>
#endif

namespace platform {

void NameThisThread(const char* name) {
#if defined(__linux__)
    pthread_setname_np(pthread_self(), name);
#else
    (void)name;
#endif
}

}  // namespace platform
