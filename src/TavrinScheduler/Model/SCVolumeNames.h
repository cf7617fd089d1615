#pragma once

#include "ScopedService.h"

#include <QString>

/// Whether a folder is the root of a volume, and the volume's name. By default the running
/// system's mount table answers (see Volumes.h); tests install their own.
class SCVolumeNames {
public:
    virtual ~SCVolumeNames() = default;
    /// True when path is a volume's root folder; its name then goes to outName.
    virtual bool isVolumeRoot(const QString& path, QString* outName) const = 0;
};

SCVolumeNames& SCCurrentVolumeNames();
/// nullptr puts the system's back.
void SCInstallVolumeNames(SCVolumeNames* names);
using SCScopedVolumeNames =
    QorScopedService<SCVolumeNames, SCCurrentVolumeNames, SCInstallVolumeNames>;
