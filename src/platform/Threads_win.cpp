#include "platform/Threads.h"

namespace platform {

void NameThisThread(const char* name) {
    // Threads go unnamed here: the name only helps a debugger.
    (void)name;
}

}  // namespace platform
