// Small operations the wipes and the operations share.
#pragma once

#include <QString>
#include <cstdint>

#include "platform/Currency.h"

namespace platform {
class TreeAnchor;
}

namespace engine {

// Makes a file or folder writable (a folder also searchable) before it is
// overwritten, renamed or removed; never through a link. The outcome is not
// looked at: a wipe that follows fails on its own if the path stays protected.
void ClearAttributes(const QString& Path, platform::TreeAnchor* beneath = nullptr);

// True when the path names an existing folder (a link to a folder is not one);
// never raises.
bool EsisteCartella(const QString& path);

// Stores the free space of the drive selected in the main window in Totale, in
// units of 10,000,000 bytes; 0 when the query fails.
void Drive1_Change();
// A free byte count as Drive1_Change stores it: units of 10,000,000 bytes.
platform::Currency FreeSpaceTotal(std::uint64_t freeBytes);

// Asks the system to switch the computer off and returns at once.
void ArrestaSistema();

}  // namespace engine
