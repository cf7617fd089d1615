#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

class ZQorScheduledTask;

/// One row of the task list: a task of the user's task block as the table and the editors see
/// it. Besides the task's fields it keeps two texts made for display, the schedule text
/// (mFrequency) and the task description (mTaskName), and it orders rows for sorting.
///
/// A row does not own its task (mTask): the task belongs to the data source's task block, and a
/// row must not be used after its task was deleted. The data source builds new rows after
/// every change of the block.
class SCTaskDataModel {
public:
    /// A row that describes no task: schedule text "Annually" (schedule type 0), description
    /// "NULL", time fields 1, disabled.
    SCTaskDataModel();

    const QString& mName() const { return mFields.name; }
    int mEncoding() const { return mFields.encoding; }
    int mEventType() const { return mFields.eventType; }
    int mEventType2() const { return mFields.eventType2; }
    /// The schedule text (localized "Monthly", "Weekly", "Daily" or "Annually").
    const QString& mFrequency() const { return mFields.frequency; }
    int mMonth() const { return mFields.month; }
    int mDay() const { return mFields.day; }
    int mHour() const { return mFields.hour; }
    int mMinute() const { return mFields.minute; }
    /// 1 = enabled, 0 = disabled.
    int mEnabled() const { return mFields.enabled; }
    /// Four-character codes, byte for byte.
    const QString& mCreator() const { return mFields.creator; }
    const QString& mExecPath() const { return mFields.execPath; }
    const QString& mEvent() const { return mFields.event; }
    const QString& mClass() const { return mFields.eventClass; }
    const QString& mEventData() const { return mFields.eventData; }
    ZQorScheduledTask* mTask() const { return mFields.task; }
    /// Local time; invalid when not set.
    const QDateTime& mNextLaunch() const { return mFields.nextLaunch; }
    /// The task description.
    const QString& mTaskName() const { return mFields.taskName; }
    bool mSelectedPreSort() const { return mFields.selectedPreSort; }

    void setmName(const QString& name) { mFields.name = name; }
    void setmEncoding(int encoding) { mFields.encoding = encoding; }
    void setmEventType(int type) { mFields.eventType = type; }
    void setmEventType2(int type) { mFields.eventType2 = type; }
    void setmMonth(int month) { mFields.month = month; }
    void setmDay(int day) { mFields.day = day; }
    void setmHour(int hour) { mFields.hour = hour; }
    void setmMinute(int minute) { mFields.minute = minute; }
    void setmEnabled(int enabled) { mFields.enabled = enabled; }
    void setmCreator(const QString& creator) { mFields.creator = creator; }
    void setmExecPath(const QString& path) { mFields.execPath = path; }
    void setmEvent(const QString& event) { mFields.event = event; }
    void setmClass(const QString& eventClass) { mFields.eventClass = eventClass; }
    void setmEventData(const QString& data) { mFields.eventData = data; }
    void setmNextLaunch(const QDateTime& when) { mFields.nextLaunch = when; }
    void setmTask(ZQorScheduledTask* task) { mFields.task = task; }
    void setmSelectedPreSort(bool selected) { mFields.selectedPreSort = selected; }

    /// Stores the schedule text of scheduleType: "Monthly" for 1, "Weekly" for 2, "Daily" for
    /// 3, "Annually" for any other value (localized).
    void setmFrequency(int scheduleType);
    /// Stores the description of a task that runs execPath, chosen by the product whose path it
    /// is. Reads mEventData, so set that first.
    void setmTaskName(const QString& execPath);

    bool frequencyIsMonthly() const;
    bool frequencyIsWeekly() const;
    bool frequencyIsDaily() const;
    bool frequencyIsOneTime() const;

    // Sorting: -1, 0 or +1 as this row comes before, with or after other. The descending forms
    // return the negated result. Texts compare without regard to case; there is no second key.
    int ascendEnabled(const SCTaskDataModel& other) const;
    int descendEnabled(const SCTaskDataModel& other) const { return -ascendEnabled(other); }
    int ascendName(const SCTaskDataModel& other) const;
    int descendName(const SCTaskDataModel& other) const { return -ascendName(other); }
    int ascendTaskName(const SCTaskDataModel& other) const;
    int descendTaskName(const SCTaskDataModel& other) const { return -ascendTaskName(other); }
    int ascendFrequency(const SCTaskDataModel& other) const;
    int descendFrequency(const SCTaskDataModel& other) const { return -ascendFrequency(other); }
    int ascendNextLaunch(const SCTaskDataModel& other) const;
    int descendNextLaunch(const SCTaskDataModel& other) const { return -ascendNextLaunch(other); }

    /// The value of the property named key ("mEnabled", "mName", "mTaskName", "mFrequency",
    /// "mNextLaunch", ...); invalid for a name that is no property.
    QVariant valueForKey(const QString& key) const;
    /// Sets the property named key as its setter does (so "mFrequency" takes a schedule type
    /// and "mTaskName" an executable path). False for a name that is no settable property.
    bool setValueForKey(const QString& key, const QVariant& value);

private:
    struct Fields {
        QString name;
        int encoding = 0;
        int eventType = 0;
        int eventType2 = 0;
        QString frequency;
        int month = 1;
        int day = 1;
        int hour = 1;
        int minute = 1;
        int enabled = 0;
        QString creator;
        QString execPath;
        QString event;
        QString eventClass;
        QString eventData;
        ZQorScheduledTask* task = nullptr;
        QDateTime nextLaunch;
        QString taskName;
        bool selectedPreSort = false;
    };

    Fields mFields;
};
