#include "platform/DroppedFiles.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>

namespace platform {

namespace {

// "C:/": a drive's root, whose separator belongs to its name.
bool IsDriveRoot(const QString& path) {
#ifdef _WIN32
    return path.size() == 3 && path[1] == QLatin1Char(':');
#else
    (void)path;
    return false;
#endif
}

DataObject LocalFilesOf(const QDropEvent& event) {
    const QMimeData* data = event.mimeData();
    return data ? DroppedFiles(data->urls()) : DataObject{};
}

}  // namespace

DataObject DroppedFiles(const QList<QUrl>& urls) {
    DataObject items;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
#ifndef _WIN32
        if (!url.host().isEmpty())
            continue;  // a file of another machine
#endif
        QString path = url.toLocalFile();
        bool named = !url.hasQuery() && !url.hasFragment() && !path.contains(QChar(0));
#ifndef _WIN32
        named = named && QFile::encodeName(path) == QByteArray::fromPercentEncoding(
                                                        url.path(QUrl::FullyEncoded).toLatin1());
#endif
        if (!named) {
            ++items.Unnamed;
            continue;
        }
        // A trailing separator is no part of a name, whatever stands before it:
        // "tree/" and "tree:/" are the folders "tree" and "tree:", which the
        // folder wipe can then give new names and remove. Only a root keeps it.
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')) && !IsDriveRoot(path))
            path.chop(1);
        items.Files << QDir::toNativeSeparators(path);
    }
    return items;
}

bool AcceptAsCopy(QDropEvent* event) {
    if ((event->possibleActions() & Qt::CopyAction) && !LocalFilesOf(*event).Files.isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return true;
    }
    event->ignore();
    return false;
}

void DeliverDrop(QDropEvent* event, std::function<void(const DataObject&, int)> handler) {
    if (!AcceptAsCopy(event) || !handler)
        return;
    DataObject data = LocalFilesOf(*event);
    const int effects =
        static_cast<int>(event->possibleActions()) & (effect::Copy | effect::Move | effect::Link);
    QTimer::singleShot(0, qApp, [handler = std::move(handler), data = std::move(data), effects] {
        handler(data, effects);
    });
}

}  // namespace platform
