#pragma once

#include "FileRefs.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Alias records: the bytes that stand for a file inside an event ("alis" values). A record
// is the target's absolute path with its device and inode at the time it was made:
//
//   offset  size  field (big-endian)
//   0       4     magic "QALS"
//   4       2     version (1)
//   6       2     reserved, 0
//   8       8     device
//   16      8     inode
//   24      4     path length n (1 .. 4095)
//   28      n     path bytes, absolute, no NUL
//
// A record is exactly 28 + n bytes; anything else is not an alias record.

/// What an alias record holds.
struct QorAliasInfo {
    std::string path;
    uint64_t device = 0;
    uint64_t inode = 0;
};

/// A new alias record for target into outAlias (fromFile, the relative anchor, is not used:
/// records are always absolute). 0, or kQorParamErr for a null or unusable reference.
OSStatus FSNewAlias(const FSRef* fromFile, const FSRef* target, std::vector<uint8_t>* outAlias);

/// Reads an alias record, checking every field; false for anything malformed.
bool QorAliasRead(const void* bytes, size_t size, QorAliasInfo* out);

/// Locates the item an alias record names: 0 and its reference, kQorParamErr for a malformed
/// record, kQorFileNotFoundErr when the path is gone. wasChanged, when given, tells whether the
/// item at the path is no longer the one the record was made for (another device or inode).
OSStatus QorAliasResolve(const void* bytes, size_t size, FSRef* target, bool* wasChanged);
