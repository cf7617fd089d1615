#pragma once

#include "ZMachOAppleEventDescriptor.h"
#include "ZSharedObject.h"

#include <cstdint>
#include <cstdio>

/// A launch descriptor that a task record can hold (reference-counted, count 1 at creation)
/// and that reads and writes its one-line text form:
///
///     ID, path, creator, event ID, class, event data
///
/// e.g. ` 12  "/usr/bin/sample"  "abcd"  "evnt"  "clas"  "exAG" "-x 1"` followed by a line end.
/// The same line is shell syntax, so `cron` can pass it as the launcher's arguments.
class ZQorScheduledTaskDescriptor : public ZMachOAppleEventDescriptor, public ZSharedObject {
public:
    ZQorScheduledTaskDescriptor(char* inExecPathBuf, int inExecPathBufSize, char* inEventDataBuf,
                                int inEventDataBufSize);
    ~ZQorScheduledTaskDescriptor() override;

    /// Reads one text-form line from the stream's current position. Returns 6 when all five
    /// fields were read (the event data may be empty), and 2, 3, 4 or 5 when the line ended
    /// right after the ID, the path, the creator or the event ID; a code cut short by the line
    /// end does not count as read. A malformed line (quote left open, path longer than its buffer,
    /// line end inside a code, quoted code longer than four characters) is read up to and
    /// including its line end and no further. Fields not reached keep their values; the event
    /// data is empty unless all five fields were read. Event data longer than the buffer is cut
    /// to capacity - 1 characters and the rest of its line is skipped. Needs an exec path
    /// buffer; without an event data buffer the event data is skipped.
    int Read(FILE* file);

    /// Reads one line from fd through a stream of its own, then closes that stream and with it
    /// fd. Returns 0 (fd left open) when no stream can be made, else the result of Read(FILE*).
    int Read(int fd);

    /// Not supported: returns 0 and reads nothing.
    int Read(char* buf);

    /// Writes the text form: the ID, the path and the three codes, then the parameters, each
    /// quoted and followed by a blank with no line end, or else the event data text and a line
    /// end, or else nothing more. Returns 0, or -1 when the stream refused the output.
    int32_t Write(FILE* file);

    /// Not supported: returns -1 and writes nothing.
    int32_t Write(char* buf);

private:
    // Each field reader returns the last character it read (EOF at the end of the stream); a
    // line end or EOF means the line ended in or right after that field.
    int ParseID(FILE* file, uint32_t* outID);
    int ParseExecPath(FILE* file, char* outPath);
    // outComplete is false when the line ended before the code's fourth character.
    int Parse4ByteCode(FILE* file, uint32_t* outCode, bool* outComplete);
    int ReadEventData(FILE* file, int lastChar);

    // Each field writer returns the number of characters written, negative on a stream error.
    int WriteID(FILE* file, uint32_t inID);
    int Write4ByteCode(FILE* file, uint32_t inCode);
    int WriteExecPath(FILE* file, const char* inPath);
    int WriteEventData(FILE* file);
};
