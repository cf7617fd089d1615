#include "ZQorScheduledTaskArray.h"

#include "CrontabListing.h"
#include "QorScheduleErr.h"
#include "QorScheduleThrows.h"

ZQorScheduledTaskArray::ZQorScheduledTaskArray(FILE* file, uint32_t clumpSize, uint32_t allocFlags)
    : ZSharedObjectArray<ZQorScheduledTask>(clumpSize, allocFlags), mSignature(kSignature),
      mDirtyFlag(false), mFileVersion{0, 0, 0}, mReadStatus(0) {
    if (!file || !FindQorHeader(file))
        return;
    (void)ReadFileVersion(file, &mFileVersion);
    // The version line and the two banner lines.
    for (int line = 0; line < 3; ++line)
        (void)QorSkipLine(file);
    SkipEnvironmentVariables(file);
    mReadStatus = ReadEntries(file);
}

ZQorScheduledTaskArray::~ZQorScheduledTaskArray() {
    mSignature = 0;
}

int32_t ZQorScheduledTaskArray::AddValue(ZQorScheduledTask* task, uint32_t* whereAdded) {
    if (task->GetTaskArray())
        return kQorSchedErrTaskInBlock;
    task->SetTaskArray(this);
    mDirtyFlag = true;
    return AddValueSelf(task, whereAdded);
}

int32_t ZQorScheduledTaskArray::InsertValue(ZQorScheduledTask* task, uint32_t index) {
    if (task->GetTaskArray())
        return kQorSchedErrTaskInBlock;
    task->SetTaskArray(this);
    mDirtyFlag = true;
    return InsertValueSelf(task, index);
}

void ZQorScheduledTaskArray::DeleteItem(uint32_t loc) {
    mDirtyFlag = true;
    ZSharedObjectArray<ZQorScheduledTask>::DeleteItem(loc);
}

int32_t ZQorScheduledTaskArray::ReadEntries(FILE* file) {
    int32_t err = 0;
    for (;;) {
        if (CheckLineForSignature(file))
            return err; // the closing line
        int c = getc(file);
        if (c == EOF)
            return err; // a block without its closing line ends with the listing
        ungetc(c, file);
        try {
            auto* task = new ZQorScheduledTask(file);
            (void)AddValue(task);
            task->Release();
        } catch (const QorSchedErrBadEntry& bad) {
            err = bad.err;
            if (getc(file) == EOF)
                return err;
            (void)fsetpos(file, &bad.pos);
            if (!FindNextGoodEntry(file))
                return err;
        }
    }
}

int32_t ZQorScheduledTaskArray::WriteEntries(FILE* file) {
    fprintf(file, "%s\n", gQorBannerVersionLine);
    fprintf(file, "%s\n", gQorBannerLine2);
    fprintf(file, "%s\n", gQorBannerLine3);
    for (uint32_t i = 0; i < GetNumItems(); ++i)
        NthValue(i)->SaveToStream(file);
    fprintf(file, "%s\n", gQorTrailerLine);
    return 0;
}

bool ZQorScheduledTaskArray::FindQorHeader(FILE* file) {
    QorFindSignatureLine(file);
    return CheckLineForSignature(file);
}

int32_t ZQorScheduledTaskArray::ReadFileVersion(FILE* file, QorSchedulerVersionInfo* info) {
    fpos_t start;
    if (fgetpos(file, &start) != 0)
        return -1;
    int major = 0;
    int minor = 0;
    int fix = 0;
    int32_t result = -1;
    if (fscanf(file, gQorVersionFormat, &major, &minor, &fix) == 3) {
        info->major = int16_t(major);
        info->minor = uint8_t(minor);
        info->fix = uint8_t(fix);
        result = 0;
    }
    (void)fsetpos(file, &start);
    return result;
}

bool ZQorScheduledTaskArray::CheckLineForSignature(FILE* file) {
    return QorLineHasSignature(file);
}

// Lines in front of the first entry that do not start with "#" (environment settings a user
// may have put there) are skipped; the next save drops them with the rest of the old block.
void ZQorScheduledTaskArray::SkipEnvironmentVariables(FILE* file) {
    for (;;) {
        int c = getc(file);
        if (c == EOF)
            return;
        ungetc(c, file);
        if (c == '#' || !QorSkipLine(file))
            return;
    }
}

// Moves past the rest of the current line, then to the next line that starts with "#".
bool ZQorScheduledTaskArray::FindNextGoodEntry(FILE* file) {
    if (!QorSkipLine(file))
        return false;
    for (;;) {
        int c = getc(file);
        if (c == EOF)
            return false;
        if (c == '#') {
            ungetc(c, file);
            return true;
        }
        if (c != '\n' && !QorSkipLine(file))
            return false;
    }
}
