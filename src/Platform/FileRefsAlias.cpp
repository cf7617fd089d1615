#include "FileRefsAlias.h"

#include <cstring>

namespace {

constexpr uint8_t kMagic[4] = {'Q', 'A', 'L', 'S'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 28;

void PutBigEndian(std::vector<uint8_t>* out, uint64_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out->push_back(uint8_t(value >> shift));
}

uint64_t GetBigEndian(const uint8_t* in, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | in[i];
    return value;
}

} // namespace

OSStatus FSNewAlias(const FSRef*, const FSRef* target, std::vector<uint8_t>* outAlias) {
    if (!target || !outAlias || target->path[0] != '/')
        return kQorParamErr;
    size_t length = strnlen(target->path, sizeof target->path);
    if (length == sizeof target->path)
        return kQorParamErr;
    std::vector<uint8_t> record(kMagic, kMagic + 4);
    record.reserve(kHeaderSize + length);
    PutBigEndian(&record, kVersion, 2);
    PutBigEndian(&record, 0, 2);
    PutBigEndian(&record, target->device, 8);
    PutBigEndian(&record, target->inode, 8);
    PutBigEndian(&record, length, 4);
    record.insert(record.end(), target->path, target->path + length);
    *outAlias = std::move(record);
    return 0;
}

bool QorAliasRead(const void* bytes, size_t size, QorAliasInfo* out) {
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    if (!in || size < kHeaderSize || memcmp(in, kMagic, 4) != 0)
        return false;
    if (GetBigEndian(in + 4, 2) != kVersion || GetBigEndian(in + 6, 2) != 0)
        return false;
    uint64_t length = GetBigEndian(in + 24, 4);
    if (length == 0 || length >= kQorMaxPathSize || length != size - kHeaderSize)
        return false;
    const char* path = reinterpret_cast<const char*>(in + kHeaderSize);
    if (path[0] != '/' || memchr(path, '\0', length) != nullptr)
        return false;
    if (out) {
        out->path.assign(path, length);
        out->device = GetBigEndian(in + 8, 8);
        out->inode = GetBigEndian(in + 16, 8);
    }
    return true;
}

OSStatus QorAliasResolve(const void* bytes, size_t size, FSRef* target, bool* wasChanged) {
    QorAliasInfo info;
    if (!target || !QorAliasRead(bytes, size, &info))
        return kQorParamErr;
    OSStatus status = FSPathMakeRef(info.path.c_str(), target);
    if (status != 0)
        return status;
    if (wasChanged)
        *wasChanged = target->device != info.device || target->inode != info.inode;
    return 0;
}
