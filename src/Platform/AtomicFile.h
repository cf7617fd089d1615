#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

/// Replaces path with bytes so that readers see either the old or the new content, never a
/// part: a temporary file created exclusively in the same folder, written, flushed to disk,
/// given the mode (the old file's mode when keepMode and one exists) and renamed over path.
/// Returns 0 or an errno value; on failure path is untouched and no temporary file remains.
int QorWriteFileAtomically(const std::string& path, const void* bytes, size_t size, mode_t mode,
                           bool keepMode = true);

/// Reads a whole regular file of at most maxSize bytes: 0, ENOENT when missing, EFBIG when
/// larger, EINVAL when not a regular file, or another errno value.
int QorReadWholeFile(const std::string& path, size_t maxSize, std::string* out);

/// Writes all size bytes to fd, going on after interruptions and short writes; false when a
/// write fails (errno tells why) or writes nothing.
bool QorWriteAll(int fd, const void* bytes, size_t size);
