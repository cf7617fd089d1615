#pragma once

#include <cstdint>

// File references: an item located by path, as the launch chain and the application keep
// them. A reference is a resolved absolute path plus the item's device and inode, in a
// fixed-size record so that it can be kept by value and copied like any plain struct.

typedef int32_t OSStatus;
typedef uint32_t OSType;

/// Statuses of the file services.
constexpr OSStatus kQorFileNotFoundErr = -43; ///< no item at the path
constexpr OSStatus kQorParamErr = -50;        ///< null, empty or oversized argument
constexpr OSStatus kQorIOErr = -36;           ///< any other failure of the file system

constexpr unsigned kQorMaxPathSize = 4096;

/// A located file system item.
struct FSRef {
    char path[kQorMaxPathSize]; ///< absolute, symbolic links resolved, NUL-terminated
    uint64_t device;
    uint64_t inode;
};

/// Locates path (relative paths are taken from the working directory): 0 and the reference,
/// kQorFileNotFoundErr when nothing is there. isDirectory, when given, tells what was found.
OSStatus FSPathMakeRef(const char* path, FSRef* ref, bool* isDirectory = nullptr);

/// The reference's path into path (at most maxPathSize bytes with the NUL): 0,
/// kQorFileNotFoundErr when the item is gone, kQorParamErr when the buffer is too small.
OSStatus FSRefMakePath(const FSRef* ref, char* path, uint32_t maxPathSize);
