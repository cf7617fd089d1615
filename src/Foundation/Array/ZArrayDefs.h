#pragma once

#include "QorMemory.h"

#include <cstdint>

// Result codes of the containers (0 = success). Out of memory is kQorOutOfMemoryErr (-108).

/// The array has no item block yet (InitArray has not succeeded).
constexpr int32_t kArrayNotInitializedErr = 26001;
/// InitArray (or a copy into an array) on an array that already has its item block.
constexpr int32_t kArrayAlreadyInitializedErr = 26002;
/// An insertion index beyond the number of items, or an index that names no item.
constexpr int32_t kArrayIndexOutOfRangeErr = 26003;
/// A sorted array that refuses duplicates already holds an equal item.
constexpr int32_t kArrayDuplicateItemErr = 26004;
/// The array may not grow (locked, or created with kArrayFixedSlots) and every slot is in use.
constexpr int32_t kArrayFullErr = 26005;

/// Allocation flag: the slot count given at creation is fixed for good.
constexpr uint32_t kArrayFixedSlots = 0x800;
/// Allocation flag that only matters to the caller creating the array; it is not kept.
constexpr uint32_t kArrayTransientAllocFlag = 0x200;

/// Values of the array's lock state.
constexpr uint8_t kArrayUnlocked = 0;
constexpr uint8_t kArrayLocked = 1;

/// Returned by the searches when no item matches.
constexpr uint32_t kArrayNotFound = 0xFFFFFFFF;

/// Orders two items by their addresses: negative when item1 sorts first, 0 when equal,
/// positive when item1 sorts after item2.
using ZCompareFunction = int32_t (*)(const void* item1, const void* item2, void* userData);

/// Tests one item by its address.
using ZTestFunction = bool (*)(const void* item, void* userData);
