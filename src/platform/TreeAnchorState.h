// The system's side of a held top, shared by the resolution beneath it
// (TreeAnchor_linux.cpp) and the count of the names its files have inside the
// tree (TreeCensus_linux.cpp). Internal to the platform layer.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <map>
#include <set>

#include "platform/PosixIo.h"
#include "platform/TreeAnchor.h"

namespace platform {

struct TreeAnchor::State {
    QString top;       // without a trailing separator
    QByteArray leaf;   // the top's name in its folder
    posix::Fd parent;  // the top's folder, as the user named it
    posix::Fd fd;      // the top itself
    posix::Place place;
    bool censusTaken = false;
    // The names each file with several names has inside the tree, less those the
    // run removed since.
    std::map<posix::FileKey, std::uint64_t> names;
    std::set<posix::FileKey> leftAlone;
};

namespace posix::tree {

inline TreeAnchor::State* StateOf(TreeAnchor* t) {
    return t ? &t->Held() : nullptr;
}
// Whether the path lies beneath the held top (the top itself excluded).
bool IsBeneath(const TreeAnchor::State* a, const QString& path);
// Opens a path relative to the top as OpenNoFollow does; -1 with errno set.
int ResolveBeneath(const TreeAnchor::State& a, const QByteArray& rel, int flags, unsigned mode);

}  // namespace posix::tree

}  // namespace platform
