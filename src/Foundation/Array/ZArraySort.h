#pragma once

#include "ZArrayDefs.h"

#include <cstdint>

/// The sort's working record: the items and how to compare them.
struct SortParms {
    uint8_t* basePtr;
    uint32_t itemSize;
    ZCompareFunction compFunc;
    void* userData;
};

/// Exchanges two items of itemSize bytes, in 4-byte units when the size allows, else in
/// 1-byte units for odd sizes and 2-byte units otherwise.
void SwapItemBytes(void* item1, void* item2, uint32_t itemSize);

/// Sorts the items [first, last): quicksort while more than 12 items remain (recursing into
/// the smaller side only), then selection sort. Not stable.
void qsort1(const SortParms& parms, uint32_t first, uint32_t last);

/// Moves the chosen pivot of [first, last) to index first, by comparing the first, middle and
/// last items.
void find_pivot(const SortParms& parms, uint32_t first, uint32_t last);
