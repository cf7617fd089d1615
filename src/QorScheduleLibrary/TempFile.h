#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

/// Index of this process's next temporary file name; each name taken uses it and moves it on.
extern int32_t gTempFileIndex;

/// Size of the buffer that names under the real "/tmp" always fit in.
constexpr size_t kQorTempFilePathSize = 64;

/// Fills outPath with the temporary file name for index: the folder QorSystemPath("/tmp"),
/// "/qorsched", at most five characters of the effective user's account name, the process ID in
/// eight digits, "." and the index in at least three digits, for example
/// "/tmp/qorschedalexa00000412.003". Writes nothing and returns false when outPath is null, the
/// user has no account entry or the name would not fit in outSize bytes (a cut name would be a
/// different file).
bool getTempFilePath(char* outPath, int32_t index, size_t outSize = kQorTempFilePathSize);

/// A file of its own in the shared temporary folder, removed when the object goes away.
class QorTempFile {
public:
    QorTempFile() = default;
    ~QorTempFile() { Remove(); }

    QorTempFile(const QorTempFile&) = delete;
    QorTempFile& operator=(const QorTempFile&) = delete;

    /// Creates the file, mode 0600, under the next free getTempFilePath name. The file is always
    /// new: a name taken by anything (file, link, folder) is passed over for the next index.
    /// Returns 0, kQorSchedErrNoAccount, or -1 with errno set.
    int32_t Create();

    /// Open for reading and writing; -1 before Create.
    int Fd() const { return mFd; }
    /// A stream of its own on the file (mode as for fdopen), at the file's start; null, with
    /// errno set, when it cannot be had. The caller closes it.
    FILE* OpenStream(const char* mode) const;
    const char* Path() const { return mPath.c_str(); }

    /// Closes and removes the file now.
    void Remove();

private:
    int mFd = -1;
    std::string mPath;
};
