#include "platform/DroppedFiles.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

namespace platform {

namespace {

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
        if (!detail::OnThisMachine(url))
            continue;
        QString path = url.toLocalFile();
        const bool named = !url.hasQuery() && !url.hasFragment() && !path.contains(QChar(0)) &&
                           detail::PathHoldsItsName(url, path);
        if (!named) {
            ++items.Unnamed;
            continue;
        }
        // A trailing separator is no part of a name, whatever stands before it:
        // "tree/" and "tree:/" are the folders "tree" and "tree:", which the
        // folder wipe can then give new names and remove. Only a root keeps it.
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')) && !detail::IsDriveRoot(path))
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
