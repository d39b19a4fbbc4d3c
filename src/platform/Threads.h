// Threads as the system shows them.
#pragma once

namespace platform {

// Names the calling thread (up to 15 characters) where the system lists thread
// names (top -H, /proc/<pid>/task/<tid>/comm); does nothing elsewhere.
void NameThisThread(const char* name);

}  // namespace platform
