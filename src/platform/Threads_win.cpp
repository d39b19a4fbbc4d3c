#include <windows.h>

#include <QString>

#include "platform/Threads.h"

namespace platform {

void NameThisThread(const char* name) {
    // Shown by debuggers and by the system's own tools.
    const std::wstring wide = QString::fromUtf8(name).toStdWString();
    SetThreadDescription(GetCurrentThread(), wide.c_str());
}

}  // namespace platform
