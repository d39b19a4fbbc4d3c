// The system's side of a held file: what it holds, and the open of its name
// that the byte and output files make. Internal to the platform layer.
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/HeldFile.h"
#include "platform/PosixIo.h"
#include "platform/TreeCensus.h"

namespace platform {

// What a held file holds: its folder, its name there, the file itself (a
// descriptor that pins it without opening it for reading or writing) and its key.
struct HeldFile::State {
    QString path;
    TreeAnchor* beneath = nullptr;
    posix::Fd ownDir;  // dir, when it is not the anchor's own
    int dir = -1;
    QByteArray name;
    posix::Fd file;
    posix::FileKey key;
    bool normal = false;
    bool copyOnWrite = false;
};

namespace posix {

// Opens the held file's name in its held folder (flags | O_NOFOLLOW | O_CLOEXEC)
// and checks that it is still the file held; a failure is an error, a name that
// leads elsewhere error 53.
Fd OpenHeld(const HeldFile& held, int flags);

}  // namespace posix

}  // namespace platform
