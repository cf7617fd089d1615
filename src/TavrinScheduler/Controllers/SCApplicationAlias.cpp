// The link to the application that the suite's other programs find in the alias folder.

#include "FileRefsAliasLink.h"
#include "InstallRoot.h"
#include "SCMainWindowController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

QString SCMainWindowController::applicationBundlePath() {
    // .../Name.app/Contents/MacOS/program
    const QFileInfo program(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
    QDir folder = program.dir();
    if (folder.dirName() != QLatin1String("MacOS") || !folder.cdUp() ||
        folder.dirName() != QLatin1String("Contents") || !folder.cdUp() ||
        !folder.dirName().endsWith(QLatin1String(".app"))) {
        return QString();
    }
    return folder.absolutePath();
}

void SCMainWindowController::verifyAlias() {
    const QString bundle = applicationBundlePath();
    if (!bundle.isEmpty()) {
        (void)verifyAliasForBundle(bundle);
    }
}

int SCMainWindowController::verifyAliasForBundle(const QString& bundlePath) {
    const QFileInfo bundle(bundlePath);
    if (!bundle.isDir() || bundle.fileName().size() <= 4) {
        return ENOENT;
    }
    const QString folder = QString::fromStdString(QorPath(kApplicationAliasFolder));
    if (!QFileInfo(folder).isDir()) {
        return ENOENT;
    }
    // Named like the bundle without its ".app".
    const QString name = bundle.fileName().chopped(4);
    return QorRefreshAliasLink(QFile::encodeName(folder + u'/' + name).toStdString(),
                               QFile::encodeName(bundle.absoluteFilePath()).toStdString());
}
