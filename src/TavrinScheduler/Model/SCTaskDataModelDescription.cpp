// The task description: what the task does, in the words of its product.

#include "SCLocalizedString.h"
#include "SCProductPaths.h"
#include "SCScanTargetEventData.h"
#include "SCStringKeys.h"
#include "SCTaskDataModel.h"
#include "SCUpdateEventData.h"
#include "SCVolumeNames.h"

namespace {

// The last component of a path, as a person names the folder: trailing slashes do not count.
QString lastPathComponent(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == u'/') {
        --end;
    }
    const QString trimmed = path.left(end);
    if (trimmed == u"/") {
        return trimmed;
    }
    return trimmed.mid(trimmed.lastIndexOf(u'/') + 1);
}

QString scanDescription(const QString& eventData) {
    const QString prefix = SCLocalizedString(kSCOmbrixScanKey) + QStringLiteral(": ");
    if (eventData.isEmpty()) {
        return prefix;
    }
    const QString target = pathFromEventData(eventData);
    QString volumeName;
    if (SCCurrentVolumeNames().isVolumeRoot(target, &volumeName)) {
        return prefix + volumeName;
    }
    return prefix + QStringLiteral(".../") + lastPathComponent(target);
}

// What an update task updates; null when its event data is none of the known ones.
QString updatedProduct(const QString& eventData) {
    struct Choice {
        const char* argument;
        const char* name;
        bool localized;
    };
    static const Choice choices[] = {
        {kSCUpdateOmbrix, "Tavrin Ombrix", false},
        {kSCUpdateGearbox, "Tavrin Gearbox", false},
        {kSCUpdatePalisade, "Tavrin PaliSade", false},
        {kSCUpdateDefinitions, kSCVirusDefinitionsKey, true},
        {kSCUpdateRenovix, "Renovix", false},
        {kSCUpdateAll, kSCUpdateAllKey, true},
        {kSCUpdateVeilguard, "Tavrin Veilguard", false},
    };
    for (const Choice& choice : choices) {
        if (eventData == SCUpdateEventData(choice.argument)) {
            return choice.localized ? SCLocalizedString(choice.name)
                                    : QString::fromLatin1(choice.name);
        }
    }
    return QString();
}

} // namespace

void SCTaskDataModel::setmTaskName(const QString& execPath) {
    if (SCIsProductPath(gScanExecPath, execPath)) {
        mFields.taskName = scanDescription(mFields.eventData);
    } else if (SCIsProductPath(gDiskmateExecPath, execPath)) {
        mFields.taskName = SCLocalizedString(kSCCustorixSnapshotKey);
    } else if (SCIsProductPath(gRenovixExecPath, execPath)) {
        // An update of an unknown product leaves the description as it was.
        const QString product = updatedProduct(mFields.eventData);
        if (!product.isNull()) {
            mFields.taskName =
                SCLocalizedString(kSCProductUpdateKey) + QStringLiteral(": ") + product;
        }
    } else if (SCIsProductPath(gDensorExecPath, execPath)) {
        mFields.taskName = SCLocalizedString(kSCDefragmentFilesKey);
    } else {
        mFields.taskName = QStringLiteral("NULL");
    }
}
