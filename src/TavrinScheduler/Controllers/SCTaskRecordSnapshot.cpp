#include "SCTaskRecordSnapshot.h"

#include "CrontabTasks.h"

namespace {

// More room than any field of a task holds.
constexpr int16_t kRoom = 2048;

} // namespace

SCTaskRecordSnapshot::SCTaskRecordSnapshot(ZQorScheduledTask* task) : mTask(task) {
    mEnabled = int16_t(GetTaskEnabled(task));
    mEventType = int16_t(GetTaskEventType(task));
    mEventType2 = int16_t(GetTaskEventType2(task));
    mScheduleType = int16_t(GetTaskScheduleType(task));
    GetTaskScheduleTime(task, &mMonth, &mDay, &mHour, &mMinute);

    char buffer[kRoom] = "";
    int16_t length = 0;
    if (GetTaskName(task, buffer, kRoom, &length, &mEncoding) == 0) {
        mName = QByteArray(buffer, length);
    }
    length = 0;
    buffer[0] = '\0';
    if (GetEvent(task, &mEvent, &mClass, kRoom, buffer, &length) == 0) {
        mEventData = QByteArray(buffer);
    }
    buffer[0] = '\0';
    if (GetEventLauncher(task, &mCreator, kRoom, buffer, &length) == 0) {
        mExecPath = QByteArray(buffer);
    }
    buffer[0] = '\0';
    if (GetSchedArgs(task, buffer, kRoom, &length) == 0) {
        mSchedArgs = QByteArray(buffer);
    }
}

void SCTaskRecordSnapshot::restore() const {
    SetTaskEnabled(mTask, mEnabled);
    SetTaskEventType(mTask, mEventType);
    SetTaskEventType2(mTask, mEventType2);
    (void)SetTaskName(mTask, mName.constData(), int16_t(mName.size()), mEncoding);
    (void)SetEvent(mTask, mEvent, mClass, mEventData.constData());
    (void)SetEventLauncher(mTask, mCreator, mExecPath.constData());
    (void)SetSchedArgs(mTask, mSchedArgs.constData());
    SetTaskScheduleType(mTask, mScheduleType);
    SetTaskScheduleTime(mTask, &mMonth, &mDay, &mHour, &mMinute);
}
