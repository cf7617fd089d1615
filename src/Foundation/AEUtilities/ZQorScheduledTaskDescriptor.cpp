#include "ZQorScheduledTaskDescriptor.h"

#include "FourCharCode.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace {

enum Field { kFieldID = 1, kFieldExecPath, kFieldCreator, kFieldEvent, kFieldClass, kFieldData };

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}
bool IsLineEnd(int c) {
    return c == '\n' || c == EOF;
}
bool IsQuote(int c) {
    return c == '"' || c == '\'';
}

int SkipBlanks(FILE* file) {
    int c = getc(file);
    while (IsBlank(c))
        c = getc(file);
    return c;
}

// Consumes the rest of a malformed line so that the next read starts on the next line.
int SkipRestOfLine(FILE* file, int c) {
    while (!IsLineEnd(c))
        c = getc(file);
    return c;
}

// Usable room for text plus its terminator; 0 when the buffer cannot even hold the terminator.
int32_t Capacity(const char* buffer, int32_t size) {
    return buffer != nullptr ? size : 0;
}

} // namespace

ZQorScheduledTaskDescriptor::ZQorScheduledTaskDescriptor(char* inExecPathBuf, int inExecPathBufSize,
                                                         char* inEventDataBuf,
                                                         int inEventDataBufSize)
    : ZMachOAppleEventDescriptor(inExecPathBuf, inExecPathBufSize, inEventDataBuf,
                                 inEventDataBufSize) {}

ZQorScheduledTaskDescriptor::~ZQorScheduledTaskDescriptor() = default;

// ---- reading ----

int ZQorScheduledTaskDescriptor::Read(FILE* file) {
    if (file == nullptr)
        return 0;
    mEventDataLen = 0;
    if (Capacity(mEventData, mEventDataSize) > 0)
        mEventData[0] = '\0';

    int field = kFieldID;
    int c = ParseID(file, &mID);
    if (!IsLineEnd(c)) {
        field = kFieldExecPath;
        c = ParseExecPath(file, mExecPath);
    }
    uint32_t* codes[] = {&mCreator, &mEvent, &mClass};
    for (uint32_t* code : codes) {
        if (IsLineEnd(c))
            return field + 1;
        ++field;
        bool complete = false;
        c = Parse4ByteCode(file, code, &complete);
        // A code cut short by the line end does not count as read: 6 means all five fields.
        if (!complete)
            return field;
    }
    (void)ReadEventData(file, c);
    return kFieldData;
}

int ZQorScheduledTaskDescriptor::Read(int fd) {
    FILE* file = fdopen(fd, "r");
    if (file == nullptr)
        return 0;
    int result = Read(file);
    fclose(file);
    return result;
}

int ZQorScheduledTaskDescriptor::Read(char* /*buf*/) {
    return 0;
}

int ZQorScheduledTaskDescriptor::ParseID(FILE* file, uint32_t* outID) {
    // A decimal number as "%ld" reads it (saturating at the limits of a long, which keeps its
    // low 32 bits), except that white space is skipped only up to the end of the line.
    int c = getc(file);
    while (c != '\n' && c != EOF && isspace(c))
        c = getc(file);
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = getc(file);
    }
    const unsigned long limit = negative ? 0UL - (unsigned long)LONG_MIN : (unsigned long)LONG_MAX;
    unsigned long magnitude = 0;
    bool anyDigit = false;
    for (; c >= '0' && c <= '9'; c = getc(file)) {
        anyDigit = true;
        unsigned long digit = unsigned(c - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    if (anyDigit)
        *outID = uint32_t(negative ? 0UL - magnitude : magnitude);
    return c;
}

int ZQorScheduledTaskDescriptor::ParseExecPath(FILE* file, char* outPath) {
    int capacity = Capacity(outPath, mExecPathSize);
    int c = SkipBlanks(file);
    int delimiter = 0; // 0 = unquoted, ended by a blank
    if (IsQuote(c)) {
        delimiter = c;
        c = getc(file);
    }

    int32_t stored = 0;
    bool tooLong = false;
    for (;; c = getc(file)) {
        // A backslash takes the next character literally, but that character still ends the
        // path when it is the delimiter.
        if (c == '\\' && stored > 0)
            c = getc(file);
        if (IsLineEnd(c) || (delimiter != 0 ? c == delimiter : IsBlank(c)))
            break;
        if (stored >= capacity - 1) {
            tooLong = true;
            break;
        }
        outPath[stored++] = char(c);
    }
    if (capacity > 0)
        outPath[stored] = '\0';

    if (tooLong)
        return SkipRestOfLine(file, c);
    if (IsLineEnd(c)) // quote left open, or the line ends with the path
        return c;
    // The blank that ended an unquoted path may be the only one before the creator, so it is
    // the last character read; a closing quote is followed by the character after it.
    if (delimiter == 0)
        return c;
    return getc(file);
}

int ZQorScheduledTaskDescriptor::Parse4ByteCode(FILE* file, uint32_t* outCode, bool* outComplete) {
    *outComplete = false;
    int c = SkipBlanks(file);
    int quote = 0;
    if (IsQuote(c)) {
        quote = c;
        c = getc(file);
    }
    uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            c = getc(file);
        if (IsLineEnd(c)) // the line ends inside the code: keep the previous value
            return c;
        code = code << 8 | uint8_t(c);
    }
    *outCode = code;
    *outComplete = true;

    c = getc(file);
    if (quote == 0)
        return c;
    if (c == quote)
        return getc(file);
    // A quoted code longer than four characters ends the record.
    return SkipRestOfLine(file, c);
}

int ZQorScheduledTaskDescriptor::ReadEventData(FILE* file, int c) {
    // mEventDataLen is 16-bit: never count more than it holds.
    int32_t room = Capacity(mEventData, mEventDataSize) - 1;
    if (room > INT16_MAX)
        room = INT16_MAX;

    if (IsBlank(c)) {
        do
            c = getc(file);
        while (IsBlank(c));
    }
    int32_t stored = 0;
    // Whatever does not fit is skipped with the rest of the line.
    for (; !IsLineEnd(c); c = getc(file)) {
        if (stored < room)
            mEventData[stored++] = char(c);
    }
    if (room >= 0)
        mEventData[stored] = '\0';
    mEventDataLen = int16_t(stored);
    return c;
}

// ---- writing ----

int32_t ZQorScheduledTaskDescriptor::Write(FILE* file) {
    if (file == nullptr)
        return -1;
    if (WriteID(file, mID) < 0 || WriteExecPath(file, mExecPath) < 0 ||
        Write4ByteCode(file, mCreator) < 0 || Write4ByteCode(file, mEvent) < 0 ||
        Write4ByteCode(file, mClass) < 0 || WriteEventData(file) < 0)
        return -1;
    return 0;
}

int32_t ZQorScheduledTaskDescriptor::Write(char* /*buf*/) {
    return -1;
}

int ZQorScheduledTaskDescriptor::WriteID(FILE* file, uint32_t inID) {
    return fprintf(file, " %ld ", long(inID));
}

int ZQorScheduledTaskDescriptor::Write4ByteCode(FILE* file, uint32_t inCode) {
    char chars[5];
    QorCodeToChars(inCode, chars);
    // A code with a zero byte prints the characters before it, right-aligned in four columns.
    return fprintf(file, " %c%4.4s%c ", '"', chars, '"');
}

int ZQorScheduledTaskDescriptor::WriteExecPath(FILE* file, const char* inPath) {
    int length = inPath != nullptr ? int(strnlen(inPath, size_t(mExecPathSize))) : 0;
    // A path that itself begins with a double quote is written between blanks.
    char quote = length > 0 && inPath[0] == '"' ? ' ' : '"';
    return fprintf(file, " %c%.*s%c ", quote, length, length > 0 ? inPath : "", quote);
}

int ZQorScheduledTaskDescriptor::WriteEventData(FILE* file) {
    if (mEventParams != nullptr && mNumEventParams > 0) {
        int written = 0;
        for (int32_t i = 0; i < mNumEventParams; ++i) {
            const char* param = mEventParams[i] != nullptr ? mEventParams[i] : "";
            char quote = IsQuote(param[0]) ? ' ' : '"';
            int n = fprintf(file, "%c%s%c ", quote, param, quote);
            if (n < 0)
                return n;
            written += n;
        }
        return written;
    }
    if (mEventData != nullptr) {
        int length = int(strnlen(mEventData, size_t(mEventDataSize)));
        return fprintf(file, " %.*s\n", length, mEventData);
    }
    return 0;
}
