#include "XVolumeQueries.h"

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
    : mSources(std::move(sources)), mRefreshInterval(refreshInterval) {}

XMountTableVolumeQueries::~XMountTableVolumeQueries() = default;

const QorVolumes& XMountTableVolumeQueries::volumes() const {
    const auto now = std::chrono::steady_clock::now();
    if (!mVolumes || now - mReadAt >= mRefreshInterval) {
        mVolumes = std::make_unique<QorVolumes>(mSources);
        mReadAt = now;
    }
    return *mVolumes;
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
