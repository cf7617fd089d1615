#include "XDragFileTxtFldFormNoNetwork.h"

#include "XVolumeQueries.h"

Qt::DropAction XDragFileTxtFldFormNoNetwork::draggingEntered(const QMimeData* data,
                                                             Qt::DropActions allowed) {
    const QStringList names = draggedFileNames(data);
    if (names.isEmpty() || !(allowed & Qt::CopyAction) || !isLocalFile(names.first())) {
        return Qt::IgnoreAction;
    }
    return XDragFileTextFieldFormatted::draggingEntered(data, allowed);
}

bool XDragFileTxtFldFormNoNetwork::isLocalFile(const QString& path) {
    return XCurrentVolumeQueries().isOnLocalDisk(path);
}
