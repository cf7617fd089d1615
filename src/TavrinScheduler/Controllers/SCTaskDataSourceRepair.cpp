// Which products are installed, and the tasks that go when their product is gone.

#include "CrontabTasks.h"
#include "QorProducts.h"
#include "SCProductPaths.h"
#include "SCTaskDataSource.h"
#include "SCUpdateEventData.h"

#include <QFile>

namespace {

std::optional<QString> installedPath(const char* fixedPath) {
    char found[kModulePathSize] = "";
    if (!IsModuleInstalled(0, fixedPath, found)) {
        return std::nullopt;
    }
    return QFile::decodeName(found);
}

bool applicationInstalled(uint32_t creator) {
    return IsModuleInstalled(creator, nullptr, nullptr);
}

// Whether an update task updates a product that is not there.
bool updatesMissingProduct(ZQorScheduledTask* task) {
    if (!gRenovixExecPath) {
        return true;
    }
    char buffer[2048] = "";
    int16_t length = 0;
    (void)GetEvent(task, nullptr, nullptr, sizeof buffer, buffer, &length);
    const QString eventData = QString::fromUtf8(buffer);
    if (eventData == SCUpdateEventData(kSCUpdateDefinitions) ||
        eventData == SCUpdateEventData(kSCUpdateOmbrix)) {
        return !gScanExecPath;
    }
    if (eventData == SCUpdateEventData(kSCUpdateGearbox)) {
        return !gDiskmateExecPath;
    }
    if (eventData == SCUpdateEventData(kSCUpdatePalisade)) {
        return !applicationInstalled(kPalisadeCreatorCode);
    }
    if (eventData == SCUpdateEventData(kSCUpdateVeilguard)) {
        return !applicationInstalled(kVeilguardCreatorCode);
    }
    return false;
}

} // namespace

void SCTaskDataSource::loadExecutablePaths() {
    gRenovixExecPath = installedPath(kRenovixPath);
    gScanExecPath = installedPath(GetScheduledScanPath());
    gDiskmateExecPath = installedPath(kDiskmatePath);
    gDensorExecPath = installedPath(kDensorPath);
}

void SCTaskDataSource::validateCronTab(ZQorScheduledTaskArray* block) {
    QorTaskIterator* iterator = isReadOnly() ? nullptr : NewTaskIterator(block);
    if (!iterator) {
        return;
    }
    bool removed = false;
    bool examinedUpdate = false;
    while (ZQorScheduledTask* task = NextTaskFromIterator(iterator)) {
        bool remove = false;
        switch (GetTaskEventType(task)) {
        case ZQorScheduledTask::kVirusScan:
            remove = !gScanExecPath;
            break;
        case ZQorScheduledTask::kSnapshot:
            remove = !gDiskmateExecPath;
            break;
        case ZQorScheduledTask::kProductUpdate:
            examinedUpdate = true;
            remove = updatesMissingProduct(task);
            break;
        default:
            break; // a defragmentation task stays even without its tool
        }
        if (remove) {
            RemoveScheduledTask(task); // the iterator follows the deletion
            removed = true;
        }
    }
    DisposeTaskIterator(iterator);
    if (removed || examinedUpdate) {
        const int32_t status = SaveCrontabTasks(block);
        if (status != 0) {
            emit crontabSaveFailed(status);
        }
    }
}
