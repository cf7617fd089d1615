#include "XVolumeQueries.h"

#include <QDir>
#include <QFileInfo>

namespace {

XMountTableVolumeQueries& systemQueries() {
    static XMountTableVolumeQueries queries;
    return queries;
}

XVolumeQueries* gQueries = nullptr;

} // namespace

XVolumeQueries& XCurrentVolumeQueries() {
    return gQueries ? *gQueries : systemQueries();
}

void XInstallVolumeQueries(XVolumeQueries* queries) {
    gQueries = queries;
}

XMountTableVolumeQueries::XMountTableVolumeQueries(QorVolumeSources sources,
                                                   std::chrono::milliseconds refreshInterval)
    : mTable(std::move(sources), refreshInterval) {}

const QorVolumes& XMountTableVolumeQueries::volumes() const {
    return mTable.Current();
}

bool XMountTableVolumeQueries::isVolumeRoot(const QString& path, QString* outName) const {
    if (path.isEmpty()) {
        return false;
    }
    std::string name;
    if (!volumes().IsVolumeRoot(path.toStdString(), &name)) {
        return false;
    }
    if (outName) {
        *outName = QString::fromStdString(name);
    }
    return true;
}

bool XMountTableVolumeQueries::isOnLocalDisk(const QString& path) const {
    return !path.isEmpty() && volumes().IsOnLocalDisk(path.toStdString());
}

bool XMountTableVolumeQueries::isMediaFolder(const QString& path) const {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (resolved.isEmpty()) {
        return false;
    }
    const QString parent = QFileInfo(resolved).path();
    for (const std::string& folder : mTable.Sources().mediaFolders) {
        const QString media = QFileInfo(QString::fromStdString(folder)).canonicalFilePath();
        if (media.isEmpty()) {
            continue;
        }
        if (resolved == media) {
            return true;
        }
        if (parent == media) {
            const std::string point = resolved.toStdString();
            bool mounted = false;
            for (const QorMount& mount : volumes().Mounts()) {
                mounted = mounted || mount.mountPoint == point;
            }
            if (!mounted) {
                return true;
            }
        }
    }
    return false;
}
