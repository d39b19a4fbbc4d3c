// What a drag of files brings, and taking it: the dropped names as paths, accepted
// as a copy and handed on after the drop.
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <functional>

class QDropEvent;

namespace platform {

// What a drop brings: the dropped files and folders as full paths, in the order
// the source lists them (item i, counted from 1, is Files[i - 1]).
struct DataObject {
    QStringList Files;
    // The local items left out of Files because no string names them faithfully
    // (a name that is not valid UTF-8, one holding NUL, or an address whose
    // source did not escape it): the run cannot reach them.
    qsizetype Unnamed = 0;
};

// The drop effects a source offers, as bits.
namespace effect {
inline constexpr int Copy = 1;
inline constexpr int Move = 2;
inline constexpr int Link = 4;
}  // namespace effect

// The local files a drag carries, in its order; links to elsewhere are left out,
// and so is a path whose bytes a string cannot hold (a name that is not valid
// UTF-8): its stand-in would name another file, or none. An address with a query
// or a fragment is left out too: a local name never has one, so it comes from a
// name its source did not escape ("notes#2"), and the rest names another file.
// So is a path holding NUL: the system would read it only up to the NUL. The
// local items left out are counted in Unnamed.
DataObject DroppedFiles(const QList<QUrl>& urls);

namespace detail {
// The system's side of reading an address, one file per system behind it.
// Whether the local file lies on this machine (not a file of another host).
bool OnThisMachine(const QUrl& url);
// Whether the path holds the very bytes of the address's name.
bool PathHoldsItsName(const QUrl& url, const QString& path);
// A drive's root ("C:/"), whose separator belongs to its name.
bool IsDriveRoot(const QString& path);
}  // namespace detail

// A drag of files is taken as a copy, whatever the source proposed: a source
// told "moved" deletes its original, and the original is what the user wants
// destroyed by the wipe, not by the source before the question is answered.
bool AcceptAsCopy(QDropEvent* event);
// Accepts the drop and runs the handler after the drop event has returned, so a
// long run never holds the source waiting for the end of its drag.
void DeliverDrop(QDropEvent* event, std::function<void(const DataObject&, int)> handler);

}  // namespace platform
