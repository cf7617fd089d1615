#pragma once

#include "QorScheduleCrondefs.h"
#include "ZQorScheduledTask.h"
#include "ZSharedObjArray.h"

#include <cstdint>
#include <cstdio>

/// The task block of one crontab listing: a signed run of lines (version line, two banner
/// lines, two lines per task, closing line) among the user's own lines. Holds one reference to
/// each task and remembers whether it changed since it was read or last saved.
class ZQorScheduledTaskArray : public ZSharedObjectArray<ZQorScheduledTask> {
public:
    static constexpr uint32_t kSignature = 0x5A535441; // "ZSTA"

    /// Reads the block from a crontab listing (null: an empty block). Entries that cannot be
    /// read are skipped; GetReadStatus tells about them.
    ZQorScheduledTaskArray(FILE* file, uint32_t clumpSize, uint32_t allocFlags);
    ~ZQorScheduledTaskArray() override;

    bool IsValidTaskArray() const { return mSignature == kSignature; }
    bool GetDirtyFlag() const { return mDirtyFlag; }
    void SetDirtyFlag(bool flag) { mDirtyFlag = flag; }
    const QorSchedulerVersionInfo& GetFileVersion() const { return mFileVersion; }
    /// What reading the listing gave: 0, or the code of the last entry that had to be skipped.
    int32_t GetReadStatus() const { return mReadStatus; }

    /// Appends the task and takes a reference to it; kQorSchedErrTaskInBlock (nothing changed)
    /// when the task already belongs to a block.
    int32_t AddValue(ZQorScheduledTask* task, uint32_t* whereAdded = nullptr);
    /// As AddValue, inserting before index.
    int32_t InsertValue(ZQorScheduledTask* task, uint32_t index);
    /// Removes the task at loc and releases the block's reference to it.
    void DeleteItem(uint32_t loc) override;

    /// Reads entries up to the closing line or the end of the input, skipping bad ones. Returns
    /// 0, or the code of the last bad entry.
    int32_t ReadEntries(FILE* file);
    /// Writes the whole block. A task that cannot be written throws QorSchedErrBadFile.
    int32_t WriteEntries(FILE* file);

protected:
    bool FindQorHeader(FILE* file);
    int32_t ReadFileVersion(FILE* file, QorSchedulerVersionInfo* info);
    bool CheckLineForSignature(FILE* file);
    void SkipEnvironmentVariables(FILE* file);
    bool FindNextGoodEntry(FILE* file);

    uint32_t mSignature;
    bool mDirtyFlag;
    QorSchedulerVersionInfo mFileVersion;
    int32_t mReadStatus;
};
