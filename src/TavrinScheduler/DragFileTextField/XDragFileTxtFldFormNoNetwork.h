#pragma once

#include "XDragFileTextFieldFormatted.h"

/// A formatted drop field that refuses items that are not on a local disk (network shares and
/// other file systems that are not block devices).
class XDragFileTxtFldFormNoNetwork : public XDragFileTextFieldFormatted {
    Q_OBJECT

public:
    using XDragFileTextFieldFormatted::XDragFileTextFieldFormatted;

    Qt::DropAction draggingEntered(const QMimeData* data, Qt::DropActions allowed) override;

    /// Whether the file system holding path is a local disk (a block device under /dev/).
    static bool isLocalFile(const QString& path);
};
