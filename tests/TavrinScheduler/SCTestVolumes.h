#pragma once

// A mount table of the tests' own, inside a temporary folder: "/" on a local disk, a media
// folder with the local volume "Data" and a network share "Share" mounted from a server.

#include "XVolumeQueries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class SCTestVolumes {
public:
    SCTestVolumes() : mQueries(sources(), std::chrono::milliseconds(0)), mUse(&mQueries) {}

    QString root() const { return mDir.path(); }
    QString media() const { return mDir.filePath(QStringLiteral("media")); }
    QString dataVolume() const { return mDir.filePath(QStringLiteral("media/Data")); }
    QString shareVolume() const { return mDir.filePath(QStringLiteral("media/Share")); }
    /// A file on the local volume, and one on the share.
    QString localFile() const { return mDir.filePath(QStringLiteral("media/Data/report.txt")); }
    QString networkFile() const { return mDir.filePath(QStringLiteral("media/Share/notes.txt")); }

private:
    QorVolumeSources sources() {
        QDir(mDir.path()).mkpath(QStringLiteral("media/Data"));
        QDir(mDir.path()).mkpath(QStringLiteral("media/Share"));
        touch(QStringLiteral("media/Data/report.txt"));
        touch(QStringLiteral("media/Share/notes.txt"));
        const QString table = QStringLiteral("21 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                             "40 21 8:17 / %1 rw - ext4 /dev/sdb1 rw\n"
                                             "41 21 0:50 / %2 rw - nfs4 server:/export rw\n")
                                  .arg(canonical(dataVolume()), canonical(shareVolume()));
        QFile file(mDir.filePath(QStringLiteral("mountinfo")));
        file.open(QIODevice::WriteOnly);
        file.write(table.toUtf8());
        QorVolumeSources result;
        result.mountInfo = file.fileName().toStdString();
        result.labelFolder = mDir.filePath(QStringLiteral("no-labels")).toStdString();
        result.mediaFolders = {canonical(media()).toStdString()};
        result.isBlockDevice = [](const std::string& source) {
            return source.rfind("/dev/sd", 0) == 0;
        };
        return result;
    }

    static QString canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }

    void touch(const QString& name) {
        QFile file(mDir.filePath(name));
        file.open(QIODevice::WriteOnly);
    }

    QTemporaryDir mDir;
    XMountTableVolumeQueries mQueries;
    XScopedVolumeQueries mUse;
};
