// The two crontab lines of a task.
//
// Descriptive comment line (cron ignores it):
//     # Enc=1 Name="Daily Snapshot"  EvType1=3 EvType2=0 Sched=3 \n
// Cron line (starts with "#" instead of the blank while the task is disabled):
//      0 12 * * * "<launcher path>" -u  12  "<executable>"  "abcd"  "evnt"  "clas"  <data>\n

#include "ZQorScheduledTask.h"

#include "InstallRoot.h"
#include "QorScheduleErr.h"
#include "QorScheduleThrows.h"
#include "ZQorScheduledTaskDescriptor.h"

#include <cstring>

namespace {

constexpr int kMaxLauncherPathBytes = 1000;

bool IsBlankOrTab(int c) {
    return c == ' ' || c == '\t';
}

bool EndsLine(int c) {
    return c == '\n' || c == EOF;
}

bool IsQuote(int c) {
    return c != '\0' && c != EOF && strchr(gQuotes, c) != nullptr;
}

// A text that would end its crontab line early and turn the rest into a line of its own.
bool BreaksLine(const char* text) {
    return text && strpbrk(text, "\r\n") != nullptr;
}

} // namespace

void ZQorScheduledTask::ReadFromStream(FILE* file) {
    fpos_t start;
    if (fgetpos(file, &start) != 0)
        throw QorSchedErrBadEntry{kQorSchedErrBadUIDescriptor, start};
    if (DataFromUIDescriptor(file) != 5) {
        (void)fsetpos(file, &start);
        throw QorSchedErrBadEntry{kQorSchedErrBadUIDescriptor, start};
    }
    if (DataFromCrontabEntry(file) != 11) {
        (void)fsetpos(file, &start);
        throw QorSchedErrBadEntry{kQorSchedErrBadCronLine, start};
    }
}

void ZQorScheduledTask::SaveToStream(FILE* file) {
    if (DataToUIDescriptor(file) <= 0 || DataToCrontabEntry(file) <= 0 || ferror(file))
        throw QorSchedErrBadFile{};
}

// Returns 5 when the encoding, the name and the three numbers were all read.
int ZQorScheduledTask::DataFromUIDescriptor(FILE* file) {
    int c1 = fscanf(file, gDescriptorFormat1, &mEncoding);
    if (ReadName(file, kNameSize, mName) < 1)
        return c1;
    int c2 = fscanf(file, gDescriptorFormat2, &mEventType, &mEventType2, &mSchedType);
    return c1 + c2 + 1;
}

// Reads a name that is bare (ends at a blank) or delimited by a quote character. A backslash
// and three octal digits stand for any byte. Returns the number of characters consumed; at
// most inMaxChars - 1 of them are kept.
int ZQorScheduledTask::ReadName(FILE* file, int inMaxChars, char* outBuf) {
    int c = getc(file);
    while (IsBlankOrTab(c))
        c = getc(file);
    int delimiter = ' ';
    if (IsQuote(c)) {
        delimiter = c;
        c = getc(file);
    }
    int count = 0;
    while (!EndsLine(c) && c != delimiter && count < inMaxChars) {
        if (c == '\\') {
            int d1 = getc(file);
            int d2 = getc(file);
            int d3 = getc(file);
            c = (((d1 - '0') * 8 + (d2 - '0')) * 8 + (d3 - '0')) & 0xFF;
        }
        outBuf[count++] = char(c);
        c = getc(file);
    }
    outBuf[count < inMaxChars ? count : inMaxChars - 1] = '\0';
    return count;
}

int ZQorScheduledTask::DataToUIDescriptor(FILE* file) {
    int n1 = fprintf(file, gDescriptorFormat1, mEncoding);
    int name = WriteName(file, mName);
    int n2 = fprintf(file, gDescriptorFormat2, mEventType, mEventType2, mSchedType);
    if (n1 < 0 || name < 0 || n2 < 0)
        return 0;
    return n1 + n2 + name;
}

// Writes the name so that ReadName gives back exactly these bytes: quoted when it holds a
// blank; control bytes, bytes above 0x7E, backslashes, a quote that would end a quoted name
// and a quote that would open a bare one are written as a backslash and three octal digits.
int ZQorScheduledTask::WriteName(FILE* file, const char* inbuf) {
    bool quoted = strchr(inbuf, ' ') != nullptr;
    if (quoted && putc('"', file) == EOF)
        return -1;
    for (size_t i = 0; inbuf[i] != '\0'; ++i) {
        unsigned char byte = static_cast<unsigned char>(inbuf[i]);
        bool escaped = byte < 0x20 || byte > 0x7E || byte == '\\' ||
                       (quoted ? byte == '"' : (i == 0 && IsQuote(byte)));
        if (escaped ? fprintf(file, "\\%03o", byte) < 0 : putc(byte, file) == EOF)
            return -1;
    }
    if (quoted && putc('"', file) == EOF)
        return -1;
    return putc(' ', file) == EOF ? -1 : 1;
}

// Returns 11 when the enable mark, the five time fields, the launcher path with its options
// and the five descriptor fields were all read.
int ZQorScheduledTask::DataFromCrontabEntry(FILE* file) {
    int c = getc(file);
    if (c == '#') {
        mEnabled = 0;
    } else {
        mEnabled = 1;
        ungetc(c, file);
    }
    if (EndsLine(c))
        return 0;

    int16_t* fields[] = {&mTime.minute, &mTime.hour, &mTime.day, &mTime.month};
    int count = 0;
    for (int16_t* field : fields) {
        ++count;
        if (EndsLine(ParseTimeNumber(file, field)))
            return count;
    }
    int16_t weekday;
    c = ParseTimeNumber(file, &weekday);
    if (weekday != -1 && mTime.day == -1)
        mTime.day = weekday;
    count = 5;
    if (EndsLine(c) || EndsLine(ReadLauncherPathPlusArgs(file)))
        return count;
    return count + mTaskDesc->Read(file);
}

int ZQorScheduledTask::DataToCrontabEntry(FILE* file) {
    // The descriptor's text cannot carry a line break; written as it is, the rest of the text
    // would become a crontab line of its own.
    if (BreaksLine(mTaskDesc->mExecPath) || BreaksLine(mTaskDesc->mEventData))
        return 0;
    bool dayOfMonth = mSchedType == kMonthly || mSchedType == kOneTime;
    if (putc(mEnabled == 0 ? '#' : ' ', file) == EOF || WriteTimeNumber(file, mTime.minute) < 0 ||
        WriteTimeNumber(file, mTime.hour) < 0 ||
        (dayOfMonth ? WriteTimeNumber(file, mTime.day) : fputs("* ", file)) < 0 ||
        WriteTimeNumber(file, mTime.month) < 0 ||
        (mSchedType == kWeekly ? WriteTimeNumber(file, mTime.day) : fputs("* ", file)) < 0)
        return 0;
    if (fprintf(file, "\"%s\" ", QorPath(gLauncherPath).c_str()) < 0)
        return 0;
    if (mSchedArgs[0] != '\0' && fprintf(file, "-%s ", mSchedArgs) < 0)
        return 0;
    return mTaskDesc->Write(file) == 0 ? 1 : 0;
}

// Skips the launcher path (any path is accepted) and reads the launcher options after it.
// Returns the last byte read; a line end means the line ended too early.
int ZQorScheduledTask::ReadLauncherPathPlusArgs(FILE* file) {
    int c = getc(file);
    while (IsBlankOrTab(c))
        c = getc(file);
    int delimiter = ' ';
    bool quoted = false;
    if (c == '"' || c == '\'') {
        delimiter = c;
        quoted = true;
        c = getc(file);
    }
    for (int length = 0; c != delimiter && !EndsLine(c) && length < kMaxLauncherPathBytes;
         ++length) {
        if (c == '\\') {
            c = getc(file); // the escaped byte belongs to the path
            if (EndsLine(c))
                break;
        }
        c = getc(file);
    }
    if (quoted && EndsLine(c))
        return c; // the closing quote is missing

    mSchedArgs[0] = '\0';
    fpos_t afterPath;
    (void)fgetpos(file, &afterPath);
    c = getc(file);
    while (IsBlankOrTab(c))
        c = getc(file);
    if (c == '-') {
        int stored = 0;
        do {
            c = getc(file);
            if (c == gSchedArgsAvail[0] || c == gSchedArgsAvail[1])
                mSchedArgs[stored++] = char(c);
        } while (c != ' ' && !EndsLine(c) && stored < kSchedArgsSize - 1);
        mSchedArgs[stored] = '\0';
        return c;
    }
    (void)fsetpos(file, &afterPath);
    return getc(file);
}

// Reads one time field ("*" gives -1) and returns the byte that ends it. Only blanks and tabs
// are skipped in front of the field: a line that ends early must not take its missing fields
// from the next line.
int ZQorScheduledTask::ParseTimeNumber(FILE* file, int16_t* outNum) {
    *outNum = -1;
    int c = getc(file);
    while (IsBlankOrTab(c))
        c = getc(file);
    if (c == '-' || (c >= '0' && c <= '9')) {
        ungetc(c, file);
        if (fscanf(file, "%hd", outNum) != 1)
            *outNum = -1;
    } else if (c != '*') {
        return c;
    }
    return getc(file);
}

int ZQorScheduledTask::WriteTimeNumber(FILE* file, int16_t inNum) {
    return inNum == -1 ? fputs("* ", file) : fprintf(file, "%d ", inNum);
}
