#pragma once

#include <cstdint>

// The daemon's own note of the last shutdown, for machines that keep neither the accounting
// file nor wtmpdb's database: written when logind announces a shutdown, read at the next start.

/// Where the note is kept, under the system root.
extern const char gShutdownStampFile[];

/// Replaces the note with time (seconds since 1970), atomically, creating its folder when
/// missing. 0, or an errno value.
int QorWriteShutdownStamp(int64_t time);

/// The time in the note: 0, ENOENT when there is none, EINVAL when it holds anything but a
/// time, or another errno value.
int QorReadShutdownStamp(int64_t* outTime);
