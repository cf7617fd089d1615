#pragma once

#include "ScopedService.h"
#include "Volumes.h"

#include <QString>

#include <chrono>

/// What the drop fields and the scan-target chooser ask about volumes: whether a path is the
/// root of a volume (and its name), and whether it lies on a local disk. The running system's
/// mount table by default; tests install answers from a mount table of their own.
class XVolumeQueries {
public:
    virtual ~XVolumeQueries() = default;
    /// Whether path is a volume root; its name goes to outName (may be null).
    virtual bool isVolumeRoot(const QString& path, QString* outName) const = 0;
    /// Whether the file system holding path (which must exist) is a local disk.
    virtual bool isOnLocalDisk(const QString& path) const = 0;
    /// Whether path is a folder where volumes appear rather than a volume: a media folder
    /// itself, or a folder in it that is no mount point (the per-user folders of /media and
    /// /run/media).
    virtual bool isMediaFolder(const QString& path) const = 0;
};

XVolumeQueries& XCurrentVolumeQueries();
/// nullptr puts the running system's answers back.
void XInstallVolumeQueries(XVolumeQueries* queries);
using XScopedVolumeQueries =
    QorScopedService<XVolumeQueries, XCurrentVolumeQueries, XInstallVolumeQueries>;

/// Answers from a mount table read at most once per refresh interval: a file chooser asks once
/// per item it lists.
class XMountTableVolumeQueries : public XVolumeQueries {
public:
    explicit XMountTableVolumeQueries(
        QorVolumeSources sources = QorVolumeSources(),
        std::chrono::milliseconds refreshInterval = std::chrono::seconds(1));

    bool isVolumeRoot(const QString& path, QString* outName) const override;
    bool isOnLocalDisk(const QString& path) const override;
    bool isMediaFolder(const QString& path) const override;

private:
    const QorVolumes& volumes() const;

    QorVolumeTable mTable;
};
