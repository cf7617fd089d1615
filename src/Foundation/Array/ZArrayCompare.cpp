#include "ZArray.h"

#include <cstring>

namespace {

template <class T> T Load(const void* item) {
    T value;
    std::memcpy(&value, item, sizeof value);
    return value;
}

} // namespace

int32_t ZArray::CompareLong(const void* item1, const void* item2, void*) {
    // The plain 32-bit difference wraps for values more than 2^31 apart and then gets the
    // order backwards; the difference is clamped to 32 bits instead, keeping its sign.
    const int64_t difference = int64_t(Load<int32_t>(item1)) - Load<int32_t>(item2);
    if (difference > INT32_MAX)
        return INT32_MAX;
    if (difference < INT32_MIN)
        return INT32_MIN;
    return int32_t(difference);
}

int32_t ZArray::CompareULong(const void* item1, const void* item2, void*) {
    const uint32_t a = Load<uint32_t>(item1);
    const uint32_t b = Load<uint32_t>(item2);
    return a < b ? -1 : (a > b ? 1 : 0);
}

int32_t ZArray::CompareShort(const void* item1, const void* item2, void*) {
    return int32_t(Load<int16_t>(item1)) - int32_t(Load<int16_t>(item2));
}

int32_t ZArray::CompareUShort(const void* item1, const void* item2, void*) {
    return int32_t(Load<uint16_t>(item1)) - int32_t(Load<uint16_t>(item2));
}
