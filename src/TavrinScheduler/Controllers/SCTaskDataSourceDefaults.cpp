// The suite's default tasks, each installed once per user, and the reset to them.

#include "CrontabTasks.h"
#include "FourCharCode.h"
#include "LaunchTime.h"
#include "PreferencesArguments.h"
#include "QorScheduleErr.h"
#include "SCLocalizedString.h"
#include "SCProductPaths.h"
#include "SCSheet.h"
#include "SCStringKeys.h"
#include "SCTaskDataSource.h"
#include "SCUpdateEventData.h"

#include <QApplication>
#include <QFile>
#include <QPointer>

#include <climits>

namespace {

// The user defaults that say a default task was installed once.
constexpr char kCustorixMarker[] = "CXDefault";
constexpr char kDensorMarker[] = "DNDefault";
constexpr char kRenovixMarker[] = "RVDefault";
// The one-shot request of the suite's installer.
constexpr char kSetDefaultTasksKey[] = "setDefaultTasks";

constexpr uint32_t kOpenApplicationEvent = QorCode("oapp");
constexpr uint32_t kCoreEventClass = QorCode("aevt");
constexpr uint32_t kNoCreator = 0;
constexpr uint32_t kBlankCreator = QorCode("    ");

struct DefaultTask {
    int16_t kind;
    const char* nameKey;
    const char* options; // null for none
    QString eventData;
    uint32_t creator;
    const std::optional<QString>& execPath;
    int16_t scheduleType;
    int16_t month, day, hour, minute;
};

// Builds the task and hands it to block; the task is not added when a step fails.
int32_t addDefaultTask(ZQorScheduledTaskArray* block, const DefaultTask& wanted) {
    if (!block) {
        return kQorSchedErrBadTaskArray;
    }
    if (!wanted.execPath) {
        return kQorSchedErrNullArgument;
    }
    int32_t status = 0;
    ZQorScheduledTask* task = NewScheduledTask(&status);
    if (!task) {
        return status;
    }
    SetTaskEnabled(task, 1);
    SetTaskEventType(task, wanted.kind);
    const QByteArray name = SCLocalizedString(wanted.nameKey).toUtf8();
    status =
        SetTaskName(task, name.constData(), int16_t(std::min<qsizetype>(name.size(), SHRT_MAX)), 1);
    if (status == 0 && wanted.options) {
        status = SetSchedArgs(task, wanted.options);
    }
    if (status == 0) {
        status = SetEvent(task, kOpenApplicationEvent, kCoreEventClass,
                          wanted.eventData.toUtf8().constData());
    }
    if (status == 0) {
        status =
            SetEventLauncher(task, wanted.creator, QFile::encodeName(*wanted.execPath).constData());
    }
    if (status != 0) {
        RemoveScheduledTask(task);
        return status;
    }
    SetTaskScheduleTime(task, &wanted.month, &wanted.day, &wanted.hour, &wanted.minute);
    SetTaskScheduleType(task, wanted.scheduleType);
    return AddScheduledTask(block, task, 0);
}

int16_t currentHour() {
    struct tm now = {};
    ZQorGetTime(&now);
    return int16_t(now.tm_hour);
}

} // namespace

std::optional<QString> SCTaskDataSource::getSetDefaultTasksKey() {
    const std::optional<std::string> value = QorUserDefaults().StringForKey(kSetDefaultTasksKey);
    if (!value) {
        return std::nullopt;
    }
    return QString::fromStdString(*value);
}

bool SCTaskDataSource::awakeFromNib() {
    const std::optional<QString> request = isReadOnly() ? std::nullopt : getSetDefaultTasksKey();
    if (!request) {
        setCronEntries(readEntries());
        return false;
    }
    if (*request == u"all") {
        installDefaults();
    } else if (*request == u"uOMB") {
        setMarker(kRenovixMarker, false);
    } else if (*request == u"uTGM") {
        setMarker(kCustorixMarker, false);
        setMarker(kDensorMarker, false);
    }
    return true;
}

bool SCTaskDataSource::markerIsSet(const char* key) const {
    return QorUserDefaults().BoolForKey(key);
}

void SCTaskDataSource::setMarker(const char* key, bool value) {
    QorUserDefaults defaults;
    defaults.SetBool(key, value);
    (void)defaults.Synchronize();
}

bool SCTaskDataSource::defaultsPredicate(const char* marker, bool productMissing) {
    if (markerIsSet(marker) || productMissing) {
        return true;
    }
    setMarker(marker, true);
    return false;
}

bool SCTaskDataSource::custorixDefaults() {
    return defaultsPredicate(kCustorixMarker, !gDiskmateExecPath);
}

bool SCTaskDataSource::densorDefaults() {
    return defaultsPredicate(kDensorMarker, !gDensorExecPath);
}

bool SCTaskDataSource::renovixDefaults() {
    return defaultsPredicate(kRenovixMarker, !gScanExecPath || !gRenovixExecPath);
}

void SCTaskDataSource::installOnce(const char* marker, int32_t (SCTaskDataSource::*install)()) {
    // A task that could not be installed may be installed by a later start.
    if ((this->*install)() != 0) {
        setMarker(marker, false);
    }
}

void SCTaskDataSource::installDefaults() {
    if (isReadOnly() || !mCronArray) {
        return;
    }
    if (!custorixDefaults()) {
        installOnce(kCustorixMarker, &SCTaskDataSource::installCustorixTask);
    }
    if (!densorDefaults()) {
        installOnce(kDensorMarker, &SCTaskDataSource::installDensorTask);
    }
    if (!renovixDefaults()) {
        installOnce(kRenovixMarker, &SCTaskDataSource::installDefsTask);
    }
}

int32_t SCTaskDataSource::installCustorixTask() {
    const int32_t status =
        addDefaultTask(mCronArray, {ZQorScheduledTask::kSnapshot, kSCCustorixDailyUpdateKey,
                                    nullptr, SCDefaultRunEventData(), kNoCreator, gDiskmateExecPath,
                                    ZQorScheduledTask::kDaily, -1, -1, 12, 0});
    if (status == 0) {
        (void)saveBlock();
        postAddRow();
    }
    return status;
}

int32_t SCTaskDataSource::installDensorTask() {
    const int32_t status =
        addDefaultTask(mCronArray, {ZQorScheduledTask::kDefragmentation, kSCDailyDefragmentationKey,
                                    nullptr, SCDefaultRunEventData(), kNoCreator, gDensorExecPath,
                                    ZQorScheduledTask::kDaily, -1, -1, 0, 0});
    if (status == 0) {
        (void)saveBlock();
        postAddRow();
    }
    return status;
}

int32_t SCTaskDataSource::installDefsTask() {
    const int32_t status = addDefaultTask(
        mCronArray, {ZQorScheduledTask::kProductUpdate, kSCUpdateVirusProtectionKey, "u",
                     SCUpdateEventData(kSCUpdateDefinitions), kBlankCreator, gRenovixExecPath,
                     ZQorScheduledTask::kMonthly, -1, 1, currentHour(), 0});
    if (status == 0) {
        (void)saveBlock();
        postAddRow();
    }
    return status;
}

void SCTaskDataSource::resetDefaults(QWidget* window) {
    SCSheetRequest request;
    request.title = SCLocalizedString(kSCResetTitleKey);
    request.defaultButton = SCLocalizedString(kSCDontResetKey);
    request.alternateButton = SCLocalizedString(kSCResetKey);
    request.message = SCLocalizedString(kSCResetMessageKey);
    QPointer<SCTaskDataSource> self(this);
    SCBeginSheet(window ? window : QApplication::activeWindow(), request, [self](int returnCode) {
        if (self) {
            self->didEndResetSheet(returnCode);
        }
    });
}

void SCTaskDataSource::didEndResetSheet(int returnCode) {
    if (returnCode != kSCSheetAlternateReturn || isReadOnly() || !mCronArray) {
        return;
    }
    setMarker(kCustorixMarker, false);
    setMarker(kDensorMarker, false);
    setMarker(kRenovixMarker, false);
    QorTaskIterator* iterator = NewTaskIterator(mCronArray);
    while (ZQorScheduledTask* task = NextTaskFromIterator(iterator)) {
        RemoveScheduledTask(task);
    }
    DisposeTaskIterator(iterator);
    installDefaults();
    (void)saveBlock();
    postAddRow();
}
