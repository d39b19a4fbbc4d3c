// The one rename that never replaces what is at the new name. Internal to the
// platform layer.
#pragma once

namespace platform::posix {

// Renames within or across held folders without ever replacing what is at `to`:
// renameat2 with RENAME_NOREPLACE; where the file system lacks it, a file is
// hard-linked and then unlinked (which cannot replace either; where hard links
// are missing too, the rename fails), and for a folder an empty folder of the
// program's own is made at `to` first, so that only it can be replaced. 0 or the
// errno value.
int RenameNoReplaceAt(int fromDir, const char* from, int toDir, const char* to, bool folder);

}  // namespace platform::posix
