#include "ZQorScheduledTask.h"

#include "LaunchTime.h"
#include "QorScheduleErr.h"
#include "ZQorScheduledTaskArray.h"
#include "ZQorScheduledTaskDescriptor.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

const char gDescriptorFormat1[] = "# Enc=%hd Name=";
const char gDescriptorFormat2[] = " EvType1=%hd EvType2=%hd Sched=%hd \n";
const char gLauncherPath[] =
    "/Library/Application Support/Tavrin Solutions Support/Scheduler/taskKicker";
const char gQuotes[] = "'\"";
const char gSchedArgsAvail[] = "nu";

namespace {

// Copies source into a caller's buffer of inMaxLength bytes, always terminated.
int32_t CopyOut(const char* source, char* outBuf, int16_t inMaxLength, int16_t* outLength) {
    size_t length = strlen(source);
    if (inMaxLength <= 0) {
        *outLength = 0;
        return length > 0 ? kQorSchedErrTruncated : 0;
    }
    size_t copied = std::min(length, size_t(inMaxLength - 1));
    memcpy(outBuf, source, copied);
    outBuf[copied] = '\0';
    *outLength = int16_t(copied);
    return copied < length ? kQorSchedErrTruncated : 0;
}

// Copies at most maxChars characters of source (never past its terminator) into a field of
// maxChars + 1 bytes; returns whether source was longer.
bool CopyIn(const char* source, size_t sourceLength, char* field, size_t maxChars) {
    size_t available = strnlen(source, sourceLength);
    size_t copied = std::min(available, maxChars);
    memcpy(field, source, copied);
    field[copied] = '\0';
    return available > maxChars;
}

} // namespace

void ZQorScheduledTask::InitCommon() {
    mSignature = kSignature;
    mName[0] = '\0';
    mEncoding = 0;
    mEventType = 0;
    mEventType2 = 0;
    mSchedType = 0;
    mTime = TaskTime{-1, -1, 0, 0};
    mEnabled = 0;
    mFlags = geteuid() == 0 ? 1u : 0u;
    mArray = nullptr;
    mSchedArgs[0] = '\0';
    mTaskDesc = new ZQorScheduledTaskDescriptor(nullptr, kDescriptorBufferSize, nullptr,
                                                kDescriptorBufferSize);
    mTaskDesc->mExecPath[0] = '\0';
    mTaskDesc->mEventData[0] = '\0';
}

ZQorScheduledTask::ZQorScheduledTask() {
    InitCommon();
}

ZQorScheduledTask::ZQorScheduledTask(const char* inName, int16_t inEncoding, int16_t inEvType,
                                     int16_t inEvType2, int16_t inSchedType, int16_t inMonth,
                                     int16_t inDay, int16_t inHour, int16_t inMinute,
                                     int16_t inEnabled, uint32_t inCreator, const char* inExecPath,
                                     uint32_t inEvent, uint32_t inClass, int16_t inEvLength,
                                     const char* inEvData) {
    InitCommon();
    if (inName)
        (void)CopyIn(inName, kMaxSetNameChars, mName, kMaxSetNameChars);
    mEncoding = inEncoding;
    mEventType = inEvType;
    mEventType2 = inEvType2;
    mSchedType = inSchedType;
    mTime = TaskTime{inMonth, inDay, inHour, inMinute};
    mEnabled = inEnabled;
    mTaskDesc->mCreator = inCreator;
    if (inExecPath)
        (void)CopyIn(inExecPath, size_t(mTaskDesc->mExecPathSize - 1), mTaskDesc->mExecPath,
                     size_t(mTaskDesc->mExecPathSize - 1));
    mTaskDesc->mEvent = inEvent;
    mTaskDesc->mClass = inClass;
    if (inEvData && inEvLength >= 1 && inEvLength < mTaskDesc->mEventDataSize) {
        memcpy(mTaskDesc->mEventData, inEvData, size_t(inEvLength));
        mTaskDesc->mEventData[inEvLength] = '\0';
        mTaskDesc->mEventDataLen = inEvLength;
    }
}

ZQorScheduledTask::ZQorScheduledTask(FILE* file) {
    InitCommon();
    try {
        ReadFromStream(file);
    } catch (...) {
        mSignature = 0;
        mTaskDesc->Release();
        throw;
    }
}

ZQorScheduledTask::~ZQorScheduledTask() {
    mSignature = 0;
    if (mTaskDesc)
        mTaskDesc->Release();
}

void ZQorScheduledTask::MarkBlockChanged() {
    if (mArray)
        mArray->SetDirtyFlag(true);
}

int16_t ZQorScheduledTask::GetTaskNameLength() {
    return int16_t(strnlen(mName, kNameSize));
}

int32_t ZQorScheduledTask::GetTaskName(char* outBuf, int16_t inMaxLength, int16_t* outLength,
                                       int16_t* outEncoding) {
    if (outEncoding)
        *outEncoding = mEncoding;
    if (!outBuf || !outLength)
        return kQorSchedErrMissingOutput;
    return CopyOut(mName, outBuf, inMaxLength, outLength);
}

int32_t ZQorScheduledTask::SetTaskName(const char* inBuf, int16_t inLen, int16_t inEncoding) {
    if (!inBuf)
        return kQorSchedErrNullArgument;
    mEncoding = inEncoding;
    bool cut = CopyIn(inBuf, size_t(std::max<int16_t>(inLen, 0)), mName, kMaxSetNameChars);
    MarkBlockChanged();
    return cut ? kQorSchedErrTruncated : 0;
}

void ZQorScheduledTask::SetTaskEventType(int16_t inType) {
    mEventType = inType;
    MarkBlockChanged();
}

void ZQorScheduledTask::SetTaskEventType2(int16_t inType) {
    mEventType2 = inType;
    MarkBlockChanged();
}

void ZQorScheduledTask::SetTaskScheduleType(int16_t inType) {
    mSchedType = inType;
    MarkBlockChanged();
}

void ZQorScheduledTask::SetTaskEnabled(int16_t inEnabled) {
    mEnabled = inEnabled;
    MarkBlockChanged();
}

void ZQorScheduledTask::GetTaskScheduleTime(int16_t* outMonth, int16_t* outDay, int16_t* outHour,
                                            int16_t* outMinute) const {
    if (outMonth)
        *outMonth = mTime.month;
    if (outDay)
        *outDay = mTime.day;
    if (outHour)
        *outHour = mTime.hour;
    if (outMinute)
        *outMinute = mTime.minute;
}

void ZQorScheduledTask::SetTaskScheduleTime(const int16_t* inMonthP, const int16_t* inDayP,
                                            const int16_t* inHourP, const int16_t* inMinuteP) {
    if (inMonthP)
        mTime.month = *inMonthP;
    if (inDayP)
        mTime.day = *inDayP;
    if (inHourP)
        mTime.hour = *inHourP;
    if (inMinuteP)
        mTime.minute = *inMinuteP;
    MarkBlockChanged();
}

uint32_t ZQorScheduledTask::GetTaskID() const {
    return mTaskDesc->mID;
}

void ZQorScheduledTask::SetTaskID(uint32_t inID) {
    mTaskDesc->mID = inID;
}

int32_t ZQorScheduledTask::GetEventLauncher(uint32_t* outCreator, int16_t inMaxPathLen,
                                            char* outExecutablePath, int16_t* outPathLen) {
    if (outCreator)
        *outCreator = mTaskDesc->mCreator;
    if (!outExecutablePath || !outPathLen)
        return 0;
    return CopyOut(mTaskDesc->mExecPath, outExecutablePath, inMaxPathLen, outPathLen);
}

int32_t ZQorScheduledTask::SetEventLauncher(uint32_t inCreator, const char* inExecutablePath) {
    if (!inExecutablePath)
        return kQorSchedErrNullArgument;
    mTaskDesc->mCreator = inCreator;
    size_t maxChars = size_t(mTaskDesc->mExecPathSize - 1);
    bool cut = CopyIn(inExecutablePath, SIZE_MAX, mTaskDesc->mExecPath, maxChars);
    MarkBlockChanged();
    return cut ? kQorSchedErrTruncated : 0;
}

int32_t ZQorScheduledTask::GetEvent(uint32_t* outEvent, uint32_t* outClass, int16_t inMaxLen,
                                    char* outEventData, int16_t* outLen) {
    if (outEvent)
        *outEvent = mTaskDesc->mEvent;
    if (outClass)
        *outClass = mTaskDesc->mClass;
    if (!outEventData || !outLen)
        return 0;
    if (!mTaskDesc->mEventData) {
        if (inMaxLen > 0)
            outEventData[0] = '\0';
        *outLen = 0;
        return 0;
    }
    return CopyOut(mTaskDesc->mEventData, outEventData, inMaxLen, outLen);
}

int32_t ZQorScheduledTask::SetEvent(uint32_t inEvent, uint32_t inClass, const char* inEventData) {
    mTaskDesc->mEvent = inEvent;
    mTaskDesc->mClass = inClass;
    if (!inEventData) {
        mTaskDesc->mEventDataLen = 0;
        if (mTaskDesc->mEventData)
            mTaskDesc->mEventData[0] = '\0';
        return 0;
    }
    if (!mTaskDesc->mEventData)
        return kQorSchedErrNullArgument;
    size_t maxChars = size_t(mTaskDesc->mEventDataSize - 1);
    bool cut = CopyIn(inEventData, SIZE_MAX, mTaskDesc->mEventData, maxChars);
    mTaskDesc->mEventDataLen = int16_t(strlen(mTaskDesc->mEventData));
    MarkBlockChanged();
    return cut ? kQorSchedErrTruncated : 0;
}

int16_t ZQorScheduledTask::GetEventDataLength() const {
    return mTaskDesc->mEventDataLen;
}

int32_t ZQorScheduledTask::GetSchedArgs(char* outBuf, int16_t inMaxLength, int16_t* outLength) {
    if (!outBuf || !outLength)
        return kQorSchedErrMissingOutput;
    return CopyOut(mSchedArgs, outBuf, inMaxLength, outLength);
}

void ZQorScheduledTask::SetSchedArgs(const char* inArgString) {
    size_t stored = 0;
    for (const char* c = inArgString; c && *c && stored < kSchedArgsSize - 1; ++c) {
        if (*c == gSchedArgsAvail[0] || *c == gSchedArgsAvail[1])
            mSchedArgs[stored++] = *c;
    }
    mSchedArgs[stored] = '\0';
}

int32_t ZQorScheduledTask::GetNextLaunchTime(const GenericTimeRec* inFromTime,
                                             GenericTimeRec* outTime) {
    return GetNextPrevLaunchTime(false, inFromTime, outTime);
}

int32_t ZQorScheduledTask::GetPrevLaunchTime(const GenericTimeRec* inFromTime,
                                             GenericTimeRec* outTime) {
    return GetNextPrevLaunchTime(true, inFromTime, outTime);
}

int32_t ZQorScheduledTask::GetNextPrevLaunchTime(bool previous, const GenericTimeRec* inFromTime,
                                                 GenericTimeRec* outTime) {
    if (!outTime)
        return kQorSchedErrNullArgument;
    time_t fromSeconds;
    struct tm fromDate = {};
    if (inFromTime) {
        fromDate.tm_min = inFromTime->minute;
        fromDate.tm_hour = inFromTime->hour;
        fromDate.tm_mday = inFromTime->day;
        fromDate.tm_mon = inFromTime->month - 1;
        fromDate.tm_year = inFromTime->year - 1900;
        fromDate.tm_isdst = -1;
        ZQorDateToSeconds(&fromDate, &fromSeconds);
    } else {
        // The present counts as the start of the current minute.
        ZQorGetTime(&fromDate);
        fromDate.tm_sec = 0;
        ZQorDateToSeconds(&fromDate, &fromSeconds);
    }
    time_t launch = QorLaunchTime(mSchedType, mTime, previous, fromSeconds);
    struct tm launchDate;
    ZQorSecondsToDate(launch, &launchDate);
    outTime->year = int16_t(launchDate.tm_year + 1900);
    outTime->month = int16_t(launchDate.tm_mon + 1);
    outTime->day = int16_t(launchDate.tm_mday);
    outTime->hour = int16_t(launchDate.tm_hour);
    outTime->minute = int16_t(launchDate.tm_min);
    return 0;
}
