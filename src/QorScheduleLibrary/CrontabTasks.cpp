#include "CrontabTasks.h"

#include "Crontab.h"
#include "CrontabListing.h"
#include "InstallRoot.h"
#include "QorMemory.h"
#include "QorScheduleErr.h"
#include "QorScheduleThrows.h"
#include "TempFile.h"
#include "ZQorScheduledTaskArray.h"

#include <cerrno>
#include <cstring>
#include <new>

struct QorTaskIterator {
    static constexpr uint32_t kSignature = 0x5A535449; // "ZSTI"

    explicit QorTaskIterator(ZQorScheduledTaskArray* block)
        : mSignature(kSignature), mIterator(block, 0) {}
    ~QorTaskIterator() { mSignature = 0; }

    uint32_t mSignature;
    ZQorScheduledTaskArray::Iterator mIterator;
};

namespace {

constexpr uint32_t kClumpSize = 4;

std::string gLastCrontabMessage;

class StdioFile {
public:
    explicit StdioFile(FILE* file = nullptr) : mFile(file) {}
    ~StdioFile() { (void)Close(); }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    FILE* Get() const { return mFile; }
    /// False when closing reported an error (for a written file: data not stored).
    bool Close() {
        bool closed = !mFile || fclose(mFile) == 0;
        mFile = nullptr;
        return closed;
    }

private:
    FILE* mFile;
};

std::string TempFolderProblem() {
    return "cannot create a temporary file in " + QorSystemPath("/tmp") + ": " + strerror(errno);
}

// Lists the crontab into a new temporary file. *outHasCrontab is false when the user has none.
int32_t ListCrontab(const char* userName, QorTempFile* listing, bool* outHasCrontab) {
    int32_t err = listing->Create();
    if (err == kQorSchedErrNoAccount)
        return err;
    if (err != 0) {
        gLastCrontabMessage = TempFolderProblem();
        return kQorSchedErrCrontabList;
    }
    QorCrontabResult result =
        QorCurrentCrontab().List(userName, listing->Fd(), kQorMaxListingBytes);
    switch (result.status) {
    case QorCrontabStatus::kDone:
        *outHasCrontab = true;
        return 0;
    case QorCrontabStatus::kNoCrontab:
        *outHasCrontab = false;
        return 0;
    default:
        gLastCrontabMessage = result.message;
        return kQorSchedErrCrontabList;
    }
}

void StoreErr(int32_t* outErr, int32_t err) {
    if (outErr)
        *outErr = err;
}

bool IsValidBlock(ZQorScheduledTaskArray* block) {
    return block && block->IsValidTaskArray();
}

bool IsValid(ZQorScheduledTask* task) {
    return task && task->IsValidTask();
}

bool IsValidIterator(QorTaskIterator* iterator) {
    return iterator && iterator->mSignature == QorTaskIterator::kSignature;
}

} // namespace

ZQorScheduledTaskArray* OpenCrontabTasks(int32_t* outErr) {
    return OpenCrontabTasksForUser(nullptr, outErr);
}

ZQorScheduledTaskArray* OpenCrontabTasksForUser(const char* userName, int32_t* outErr) {
    if (userName && userName[0] == '\0')
        userName = nullptr;
    if (!QorCurrentCrontab().EffectiveUserName(nullptr)) {
        StoreErr(outErr, kQorSchedErrNoAccount);
        return nullptr;
    }
    QorTempFile listing;
    bool hasCrontab = false;
    int32_t err = ListCrontab(userName, &listing, &hasCrontab);
    if (err != 0) {
        StoreErr(outErr, err);
        return nullptr;
    }
    StdioFile input(hasCrontab ? listing.OpenStream("r") : nullptr);
    if (hasCrontab && !input.Get()) {
        gLastCrontabMessage = std::string("cannot read the crontab listing: ") + strerror(errno);
        StoreErr(outErr, kQorSchedErrCrontabList);
        return nullptr;
    }
    ZQorScheduledTaskArray* block = nullptr;
    try {
        block = new ZQorScheduledTaskArray(input.Get(), kClumpSize, 0);
    } catch (const std::bad_alloc&) {
        StoreErr(outErr, QorForceMemError());
        return nullptr;
    }
    if (input.Get() && ferror(input.Get())) {
        delete block;
        gLastCrontabMessage = "cannot read the crontab listing";
        StoreErr(outErr, kQorSchedErrCrontabList);
        return nullptr;
    }
    // Another user's block is only ever read: closing it must not save it into this user's
    // crontab.
    if (userName)
        block->SetDirtyFlag(false);
    StoreErr(outErr, 0);
    return block;
}

int32_t SaveCrontabTasks(ZQorScheduledTaskArray* block) {
    if (!IsValidBlock(block))
        return kQorSchedErrBadTaskArray;
    if (!QorCurrentCrontab().EffectiveUserName(nullptr))
        return kQorSchedErrNoAccount;
    if (!block->GetDirtyFlag())
        return 0;

    // The listing is read again now, so lines changed outside the block since it was opened
    // are kept. Without a listing nothing is installed: the crontab would lose those lines.
    QorTempFile listing;
    bool hasCrontab = false;
    int32_t err = ListCrontab(nullptr, &listing, &hasCrontab);
    if (err != 0)
        return err;
    StdioFile input(hasCrontab ? listing.OpenStream("r") : nullptr);
    if (hasCrontab && !input.Get()) {
        gLastCrontabMessage = std::string("cannot read the crontab listing: ") + strerror(errno);
        return kQorSchedErrCrontabList;
    }

    QorTempFile newCrontab;
    if (newCrontab.Create() != 0) {
        gLastCrontabMessage = TempFolderProblem();
        return kQorSchedErrCrontabSave;
    }
    StdioFile output(newCrontab.OpenStream("w"));
    if (!output.Get()) {
        gLastCrontabMessage = std::string("cannot write the new crontab: ") + strerror(errno);
        return kQorSchedErrCrontabSave;
    }
    try {
        QorRewriteListing(input.Get(), output.Get(),
                          [block](FILE* file) { (void)block->WriteEntries(file); });
    } catch (const QorSchedErrBadFile&) {
        gLastCrontabMessage = "a task could not be written into the new crontab";
        return kQorSchedErrCrontabSave;
    }
    if (input.Get() && ferror(input.Get())) {
        gLastCrontabMessage = "cannot read the crontab listing";
        return kQorSchedErrCrontabList;
    }
    bool written = fflush(output.Get()) == 0 && !ferror(output.Get());
    if (!output.Close() || !written) {
        gLastCrontabMessage = std::string("cannot write the new crontab: ") + strerror(errno);
        return kQorSchedErrCrontabSave;
    }

    QorCrontabResult result = QorCurrentCrontab().Install(newCrontab.Path());
    if (result.status != QorCrontabStatus::kDone) {
        gLastCrontabMessage = result.message;
        return kQorSchedErrCrontabSave;
    }
    block->SetDirtyFlag(false);
    return 0;
}

int32_t CloseCrontabTasks(ZQorScheduledTaskArray* block) {
    if (!IsValidBlock(block))
        return 0;
    int32_t err = block->GetDirtyFlag() ? SaveCrontabTasks(block) : 0;
    delete block;
    return err;
}

std::string QorLastCrontabMessage() {
    return gLastCrontabMessage;
}

QorTaskIterator* NewTaskIterator(ZQorScheduledTaskArray* block) {
    if (!IsValidBlock(block))
        return nullptr;
    return new (std::nothrow) QorTaskIterator(block);
}

void DisposeTaskIterator(QorTaskIterator* iterator) {
    if (IsValidIterator(iterator))
        delete iterator;
}

ZQorScheduledTask* NextTaskFromIterator(QorTaskIterator* iterator) {
    if (!IsValidIterator(iterator))
        return nullptr;
    return iterator->mIterator.NextValue();
}

ZQorScheduledTask* NewScheduledTask(int32_t* outErr) {
    ZQorScheduledTask* task = new (std::nothrow) ZQorScheduledTask();
    StoreErr(outErr, task ? 0 : QorForceMemError());
    return task;
}

int32_t AddScheduledTask(ZQorScheduledTaskArray* block, ZQorScheduledTask* task, uint32_t inID) {
    if (!IsValidBlock(block))
        return kQorSchedErrBadTaskArray;
    if (!IsValid(task))
        return kQorSchedErrBadTask;
    task->SetTaskID(inID);
    int32_t err = block->AddValue(task);
    task->Release();
    return err;
}

void RemoveScheduledTask(ZQorScheduledTask* task) {
    if (!IsValid(task))
        return;
    ZQorScheduledTaskArray* block = task->GetTaskArray();
    if (!block) {
        task->Release();
        return;
    }
    uint32_t index = block->FindValue(task);
    if (index != UINT32_MAX)
        block->DeleteItem(index);
}

int32_t GetNextLaunchTime(ZQorScheduledTask* task,
                          const ZQorScheduledTask::GenericTimeRec* inFromTime,
                          ZQorScheduledTask::GenericTimeRec* outTime) {
    if (!IsValid(task) || !outTime)
        return kQorSchedErrNullArgument;
    return task->GetNextLaunchTime(inFromTime, outTime);
}

int32_t GetPrevLaunchTime(ZQorScheduledTask* task,
                          const ZQorScheduledTask::GenericTimeRec* inFromTime,
                          ZQorScheduledTask::GenericTimeRec* outTime) {
    if (!IsValid(task) || !outTime)
        return kQorSchedErrNullArgument;
    return task->GetPrevLaunchTime(inFromTime, outTime);
}

char* GetTaskNamePtr(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetTaskNamePtr() : nullptr;
}

int32_t GetTaskEventType(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetTaskEventType() : kQorSchedErrNullArgument;
}

int32_t GetTaskEventType2(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetTaskEventType2() : kQorSchedErrNullArgument;
}

int32_t GetTaskScheduleType(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetTaskScheduleType() : kQorSchedErrNullArgument;
}

int32_t GetTaskEnabled(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetTaskEnabled() : kQorSchedErrNullArgument;
}

int32_t GetEventDataLength(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetEventDataLength() : kQorSchedErrNullArgument;
}

uint32_t GetTaskID(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetTaskID() : uint32_t(kQorSchedErrNullArgument);
}

int32_t GetTaskName(ZQorScheduledTask* task, char* outBuf, int16_t inMaxLength, int16_t* outLength,
                    int16_t* outEncoding) {
    if (!IsValid(task))
        return kQorSchedErrNullArgument;
    return task->GetTaskName(outBuf, inMaxLength, outLength, outEncoding);
}

int32_t GetTaskNameLength(ZQorScheduledTask* task) {
    return IsValid(task) ? task->GetTaskNameLength() : kQorSchedErrNullArgument;
}

int32_t GetEventLauncher(ZQorScheduledTask* task, uint32_t* outCreator, int16_t inMaxPathLen,
                         char* outExecutablePath, int16_t* outPathLen) {
    if (!IsValid(task))
        return kQorSchedErrNullArgument;
    return task->GetEventLauncher(outCreator, inMaxPathLen, outExecutablePath, outPathLen);
}

int32_t GetEvent(ZQorScheduledTask* task, uint32_t* outEvent, uint32_t* outClass, int16_t inMaxLen,
                 char* outEventData, int16_t* outLen) {
    if (!IsValid(task))
        return kQorSchedErrNullArgument;
    return task->GetEvent(outEvent, outClass, inMaxLen, outEventData, outLen);
}

int32_t GetSchedArgs(ZQorScheduledTask* task, char* outBuf, int16_t inMaxLength,
                     int16_t* outLength) {
    if (!IsValid(task))
        return kQorSchedErrNullArgument;
    return task->GetSchedArgs(outBuf, inMaxLength, outLength);
}

int32_t SetTaskName(ZQorScheduledTask* task, const char* inBuf, int16_t inLen, int16_t inEncoding) {
    if (!IsValid(task) || !inBuf)
        return kQorSchedErrNullArgument;
    return task->SetTaskName(inBuf, inLen, inEncoding);
}

int32_t SetEventLauncher(ZQorScheduledTask* task, uint32_t inCreator,
                         const char* inExecutablePath) {
    if (!IsValid(task))
        return kQorSchedErrNullArgument;
    return task->SetEventLauncher(inCreator, inExecutablePath);
}

int32_t SetEvent(ZQorScheduledTask* task, uint32_t inEvent, uint32_t inClass,
                 const char* inEventData) {
    if (!IsValid(task))
        return kQorSchedErrNullArgument;
    return task->SetEvent(inEvent, inClass, inEventData);
}

int32_t SetSchedArgs(ZQorScheduledTask* task, const char* inArgString) {
    if (!IsValid(task))
        return kQorSchedErrNullArgument;
    task->SetSchedArgs(inArgString);
    return 0;
}

void GetTaskScheduleTime(ZQorScheduledTask* task, int16_t* outMonth, int16_t* outDay,
                         int16_t* outHour, int16_t* outMinute) {
    if (IsValid(task))
        task->GetTaskScheduleTime(outMonth, outDay, outHour, outMinute);
}

void SetTaskEventType(ZQorScheduledTask* task, int16_t inType) {
    if (IsValid(task))
        task->SetTaskEventType(inType);
}

void SetTaskEventType2(ZQorScheduledTask* task, int16_t inType) {
    if (IsValid(task))
        task->SetTaskEventType2(inType);
}

void SetTaskScheduleType(ZQorScheduledTask* task, int16_t inType) {
    if (IsValid(task))
        task->SetTaskScheduleType(inType);
}

void SetTaskScheduleTime(ZQorScheduledTask* task, const int16_t* inMonthP, const int16_t* inDayP,
                         const int16_t* inHourP, const int16_t* inMinuteP) {
    if (IsValid(task))
        task->SetTaskScheduleTime(inMonthP, inDayP, inHourP, inMinuteP);
}

void SetTaskEnabled(ZQorScheduledTask* task, int16_t inEnabled) {
    if (IsValid(task))
        task->SetTaskEnabled(inEnabled);
}
