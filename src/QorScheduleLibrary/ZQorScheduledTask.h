#pragma once

#include "ZSharedObject.h"

#include <cstdint>
#include <cstdio>

class ZQorScheduledTaskArray;
class ZQorScheduledTaskDescriptor;

/// "# Enc=%hd Name=": the start of a task's descriptive comment line.
extern const char gDescriptorFormat1[];
/// " EvType1=%hd EvType2=%hd Sched=%hd \n": the end of that line.
extern const char gDescriptorFormat2[];
/// Where the launcher command is installed, under the install root (QorPath).
extern const char gLauncherPath[];
/// The quote characters a name or path may be delimited by: single quote, double quote.
extern const char gQuotes[];
/// The launcher option letters a task may carry.
extern const char gSchedArgsAvail[];

/// One scheduled task: its name, what it launches (kinds and a launch descriptor), when it runs
/// (schedule type and time), whether it is enabled and the launcher options. Stored in the
/// crontab as two lines: a comment line with the name and kinds, and the cron line that runs
/// the launcher command with the descriptor's text (commented out while disabled).
///
/// Reference-counted: count 1 at creation. A task block that receives the task takes its own
/// reference. The task owns its descriptor.
class ZQorScheduledTask : public ZSharedObject {
public:
    /// -1 in any field means "every" ("*" in the cron line).
    struct TaskTime {
        int16_t month;  ///< 1-12
        int16_t day;    ///< day of month 1-31, or day of week 0-6 (0 = Sunday) when weekly
        int16_t hour;   ///< 0-23
        int16_t minute; ///< 0-59
    };

    /// A local wall-clock minute.
    struct GenericTimeRec {
        int16_t year;  ///< full year, e.g. 2004
        int16_t month; ///< 1-12
        int16_t day;
        int16_t hour;
        int16_t minute;
        int16_t reserved; ///< left as the caller set it
    };

    static constexpr uint32_t kSignature = 0x5A535354; // "ZSST"

    /// mSchedType values.
    static constexpr int16_t kMonthly = 1;
    static constexpr int16_t kWeekly = 2;
    static constexpr int16_t kDaily = 3;
    static constexpr int16_t kOneTime = 4; ///< cron has no one-time entries: once a year

    /// mEventType values used by the scheduler application.
    static constexpr int16_t kProductUpdate = 1;
    static constexpr int16_t kVirusScan = 2;
    static constexpr int16_t kSnapshot = 3;
    static constexpr int16_t kDefragmentation = 4;

    static constexpr int kNameSize = 255;
    /// Longest name SetTaskName keeps.
    static constexpr int kMaxSetNameChars = 126;
    static constexpr int kDescriptorBufferSize = 256;
    static constexpr int kSchedArgsSize = 3;

    /// Empty task: no name, kinds, schedule type and enabled flag 0, an empty descriptor. The
    /// time is every month and day at 00:00 until the caller sets it.
    ZQorScheduledTask();
    /// A task with every field given. The name keeps at most 126 characters and the path 255;
    /// the event data is copied when 1 <= inEvLength <= 255 and inEvData is not null.
    ZQorScheduledTask(const char* inName, int16_t inEncoding, int16_t inEvType, int16_t inEvType2,
                      int16_t inSchedType, int16_t inMonth, int16_t inDay, int16_t inHour,
                      int16_t inMinute, int16_t inEnabled, uint32_t inCreator,
                      const char* inExecPath, uint32_t inEvent, uint32_t inClass,
                      int16_t inEvLength, const char* inEvData);
    /// Reads one two-line entry from the stream (ReadFromStream); throws QorSchedErrBadEntry.
    explicit ZQorScheduledTask(FILE* file);
    ~ZQorScheduledTask() override;

    /// Reads one entry. On failure throws QorSchedErrBadEntry with the stream back at the
    /// entry's start; fields read before the failure keep what was read.
    void ReadFromStream(FILE* file);
    /// Writes the entry's two lines; throws QorSchedErrBadFile when they cannot be written.
    virtual void SaveToStream(FILE* file);

    bool IsValidTask() const { return mSignature == kSignature; }

    char* GetTaskNamePtr() { return mName; }
    virtual int16_t GetTaskNameLength();
    /// outEncoding (when given) receives the encoding tag. Copies at most inMaxLength - 1
    /// characters and a terminator; outLength receives the characters copied. -1 when outBuf
    /// or outLength is null; kQorSchedErrTruncated when the name was cut.
    virtual int32_t GetTaskName(char* outBuf, int16_t inMaxLength, int16_t* outLength,
                                int16_t* outEncoding);
    /// Keeps the first min(inLen, 126) characters. kQorSchedErrNullArgument for a null text;
    /// kQorSchedErrTruncated when the name was cut.
    int32_t SetTaskName(const char* inBuf, int16_t inLen, int16_t inEncoding);

    int16_t GetTaskEventType() const { return mEventType; }
    int16_t GetTaskEventType2() const { return mEventType2; }
    int16_t GetTaskScheduleType() const { return mSchedType; }
    int16_t GetTaskEnabled() const { return mEnabled; }
    void SetTaskEventType(int16_t inType);
    void SetTaskEventType2(int16_t inType);
    void SetTaskScheduleType(int16_t inType);
    void SetTaskEnabled(int16_t inEnabled);

    /// Each non-null pointer receives its field.
    void GetTaskScheduleTime(int16_t* outMonth, int16_t* outDay, int16_t* outHour,
                             int16_t* outMinute) const;
    /// Each non-null pointer's value is stored; null ones leave their field as it is.
    void SetTaskScheduleTime(const int16_t* inMonthP, const int16_t* inDayP, const int16_t* inHourP,
                             const int16_t* inMinuteP);

    uint32_t GetTaskID() const;
    /// Does not mark the block changed.
    virtual void SetTaskID(uint32_t inID);

    /// outCreator (when given) receives the creator code; the executable path is copied as
    /// GetTaskName copies the name when both path outputs are given.
    virtual int32_t GetEventLauncher(uint32_t* outCreator, int16_t inMaxPathLen,
                                     char* outExecutablePath, int16_t* outPathLen);
    /// Keeps the first 255 characters of the path. kQorSchedErrNullArgument for a null path.
    virtual int32_t SetEventLauncher(uint32_t inCreator, const char* inExecutablePath);

    virtual int32_t GetEvent(uint32_t* outEvent, uint32_t* outClass, int16_t inMaxLen,
                             char* outEventData, int16_t* outLen);
    /// Stores the event and class; null data empties the event data without marking the block
    /// changed. Keeps the first 255 characters of the data.
    virtual int32_t SetEvent(uint32_t inEvent, uint32_t inClass, const char* inEventData);
    int16_t GetEventDataLength() const;

    ZQorScheduledTaskDescriptor* GetTaskDescriptor() { return mTaskDesc; }
    ZQorScheduledTaskArray* GetTaskArray() { return mArray; }
    char* GetSchedArgsPtr() { return mSchedArgs; }
    /// -1 when outBuf or outLength is null; copies as GetTaskName does.
    int32_t GetSchedArgs(char* outBuf, int16_t inMaxLength, int16_t* outLength);
    /// Keeps up to two of the letters "n" and "u" found in inArgString, in order; other
    /// characters (a leading "-" among them) are skipped. Null empties the options. Does not
    /// mark the block changed.
    void SetSchedArgs(const char* inArgString);

    /// The earliest scheduled minute strictly after inFromTime (null: the current minute).
    int32_t GetNextLaunchTime(const GenericTimeRec* inFromTime, GenericTimeRec* outTime);
    /// The latest scheduled minute strictly before inFromTime (null: the current minute).
    int32_t GetPrevLaunchTime(const GenericTimeRec* inFromTime, GenericTimeRec* outTime);
    /// kQorSchedErrNullArgument when outTime is null, else 0. outTime->reserved is kept.
    int32_t GetNextPrevLaunchTime(bool previous, const GenericTimeRec* inFromTime,
                                  GenericTimeRec* outTime);

    /// Set by the block that takes the task in; never cleared.
    void SetTaskArray(ZQorScheduledTaskArray* inArray) { mArray = inArray; }

    uint32_t mSignature;
    char mName[kNameSize];
    int16_t mEncoding;
    int16_t mEventType;
    int16_t mEventType2;
    int16_t mSchedType;
    TaskTime mTime;
    int16_t mEnabled;
    ZQorScheduledTaskDescriptor* mTaskDesc;
    uint32_t mFlags; ///< bit 0: created by a process whose effective user was the super-user
    ZQorScheduledTaskArray* mArray;
    char mSchedArgs[kSchedArgsSize];

protected:
    /// Each returns what the entry format says; see the .cpp.
    int DataFromUIDescriptor(FILE* file);
    int ReadName(FILE* file, int inMaxChars, char* outBuf);
    int DataToUIDescriptor(FILE* file);
    int WriteName(FILE* file, const char* inbuf);
    int DataFromCrontabEntry(FILE* file);
    int DataToCrontabEntry(FILE* file);
    int ReadLauncherPathPlusArgs(FILE* file);
    int ParseTimeNumber(FILE* file, int16_t* outNum);
    int WriteTimeNumber(FILE* file, int16_t inNum);

private:
    void InitCommon();
    void MarkBlockChanged();
};
