#pragma once

#include "ZQorScheduledTask.h"

#include <cstdint>
#include <string>

class ZQorScheduledTaskArray;
struct QorTaskIterator;

// The handle layer over the user's crontab: open the task block, go through and change its
// tasks, save it back. A block handle is a ZQorScheduledTaskArray*, a task handle a
// ZQorScheduledTask*; both are checked before use.

/// Lists the effective user's crontab and reads its task block. A user without a crontab gets
/// an empty block. Returns null with kQorSchedErrNoAccount, or with kQorSchedErrCrontabList
/// when the crontab could not be listed (QorLastCrontabMessage says why): a block that might
/// be missing the user's tasks is never handed out.
ZQorScheduledTaskArray* OpenCrontabTasks(int32_t* outErr);

/// As OpenCrontabTasks for the crontab of userName (`crontab -l -u userName`, super-user
/// only); null or empty userName = the effective user's own. For reading only.
ZQorScheduledTaskArray* OpenCrontabTasksForUser(const char* userName, int32_t* outErr);

/// Rewrites the crontab with the block when the block has changed: the listing is read again
/// just before, the user's lines around the block are kept byte for byte and the block is
/// replaced (or appended). Returns 0 (also when there was nothing to do),
/// kQorSchedErrBadTaskArray, kQorSchedErrNoAccount, kQorSchedErrCrontabList (the crontab could
/// not be listed, so nothing was installed) or kQorSchedErrCrontabSave (the new crontab could
/// not be written or installed). On failure the crontab is as it was and the block stays
/// marked changed, so a later save tries again.
int32_t SaveCrontabTasks(ZQorScheduledTaskArray* block);

/// Saves the block when it has changed, then destroys it with every task it still holds.
/// Returns the save's result (0 when there was nothing to save or the handle was invalid).
int32_t CloseCrontabTasks(ZQorScheduledTaskArray* block);

/// What the crontab command said the last time a listing or an install failed.
std::string QorLastCrontabMessage();

/// A new iterator at the block's first task; null for an invalid block. The iterator follows
/// insertions and deletions. Dispose of it before closing the block.
QorTaskIterator* NewTaskIterator(ZQorScheduledTaskArray* block);
void DisposeTaskIterator(QorTaskIterator* iterator);
/// The task at the iterator's position (no reference for the caller), advancing it; null at
/// the end or for an invalid iterator.
ZQorScheduledTask* NextTaskFromIterator(QorTaskIterator* iterator);

/// A new empty task, owned by the caller (reference count 1). Null with -108 when memory ran
/// out.
ZQorScheduledTask* NewScheduledTask(int32_t* outErr);
/// Sets the task's ID and hands the caller's reference to the block, which then owns the task.
/// kQorSchedErrBadTaskArray or kQorSchedErrBadTask for invalid handles (the reference stays
/// with the caller); otherwise the result of adding it (the caller's reference is given up in
/// any case).
int32_t AddScheduledTask(ZQorScheduledTaskArray* block, ZQorScheduledTask* task, uint32_t inID);
/// Deletes the task from its block (destroying it unless someone else holds a reference), or
/// releases the caller's reference when the task was never added to a block.
void RemoveScheduledTask(ZQorScheduledTask* task);

// Checked forms of the task's operations: an invalid task handle gives
// kQorSchedErrNullArgument (or null, or no effect).

int32_t GetNextLaunchTime(ZQorScheduledTask* task,
                          const ZQorScheduledTask::GenericTimeRec* inFromTime,
                          ZQorScheduledTask::GenericTimeRec* outTime);
int32_t GetPrevLaunchTime(ZQorScheduledTask* task,
                          const ZQorScheduledTask::GenericTimeRec* inFromTime,
                          ZQorScheduledTask::GenericTimeRec* outTime);
char* GetTaskNamePtr(ZQorScheduledTask* task);
int32_t GetTaskEventType(ZQorScheduledTask* task);
int32_t GetTaskEventType2(ZQorScheduledTask* task);
int32_t GetTaskScheduleType(ZQorScheduledTask* task);
int32_t GetTaskEnabled(ZQorScheduledTask* task);
int32_t GetEventDataLength(ZQorScheduledTask* task);
/// The task's ID; uint32_t(kQorSchedErrNullArgument) for an invalid task.
uint32_t GetTaskID(ZQorScheduledTask* task);
int32_t GetTaskName(ZQorScheduledTask* task, char* outBuf, int16_t inMaxLength, int16_t* outLength,
                    int16_t* outEncoding);
int32_t GetTaskNameLength(ZQorScheduledTask* task);
int32_t GetEventLauncher(ZQorScheduledTask* task, uint32_t* outCreator, int16_t inMaxPathLen,
                         char* outExecutablePath, int16_t* outPathLen);
int32_t GetEvent(ZQorScheduledTask* task, uint32_t* outEvent, uint32_t* outClass, int16_t inMaxLen,
                 char* outEventData, int16_t* outLen);
int32_t GetSchedArgs(ZQorScheduledTask* task, char* outBuf, int16_t inMaxLength,
                     int16_t* outLength);
int32_t SetTaskName(ZQorScheduledTask* task, const char* inBuf, int16_t inLen, int16_t inEncoding);
int32_t SetEventLauncher(ZQorScheduledTask* task, uint32_t inCreator, const char* inExecutablePath);
int32_t SetEvent(ZQorScheduledTask* task, uint32_t inEvent, uint32_t inClass,
                 const char* inEventData);
int32_t SetSchedArgs(ZQorScheduledTask* task, const char* inArgString);
void GetTaskScheduleTime(ZQorScheduledTask* task, int16_t* outMonth, int16_t* outDay,
                         int16_t* outHour, int16_t* outMinute);
void SetTaskEventType(ZQorScheduledTask* task, int16_t inType);
void SetTaskEventType2(ZQorScheduledTask* task, int16_t inType);
void SetTaskScheduleType(ZQorScheduledTask* task, int16_t inType);
void SetTaskScheduleTime(ZQorScheduledTask* task, const int16_t* inMonthP, const int16_t* inDayP,
                         const int16_t* inHourP, const int16_t* inMinuteP);
void SetTaskEnabled(ZQorScheduledTask* task, int16_t inEnabled);
