#pragma once

#include <QByteArray>

#include <cstdint>

class ZQorScheduledTask;

/// Every field of a task record that an editor changes, taken before the change so that a save
/// that fails part way can put the record back as it was: the block then holds nothing the user
/// was told was not saved.
class SCTaskRecordSnapshot {
public:
    explicit SCTaskRecordSnapshot(ZQorScheduledTask* task);
    /// Puts the fields back into the task they were taken from.
    void restore() const;

private:
    ZQorScheduledTask* mTask;
    int16_t mEnabled = 0;
    int16_t mEventType = 0;
    int16_t mEventType2 = 0;
    int16_t mScheduleType = 0;
    int16_t mMonth = 0, mDay = 0, mHour = 0, mMinute = 0;
    QByteArray mName;
    int16_t mEncoding = 0;
    uint32_t mEvent = 0, mClass = 0;
    QByteArray mEventData;
    uint32_t mCreator = 0;
    QByteArray mExecPath;
    QByteArray mSchedArgs;
};
