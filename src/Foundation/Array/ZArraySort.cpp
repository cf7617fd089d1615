#include "ZArraySort.h"

#include <cstring>

namespace {

// Ranges this short are finished by selection sort.
constexpr uint32_t kSelectionSortLimit = 12;

template <class Unit> void SwapUnits(uint8_t* a, uint8_t* b, uint32_t itemSize) {
    for (uint32_t offset = 0; offset < itemSize; offset += sizeof(Unit)) {
        Unit x;
        Unit y;
        std::memcpy(&x, a + offset, sizeof(Unit));
        std::memcpy(&y, b + offset, sizeof(Unit));
        std::memcpy(a + offset, &y, sizeof(Unit));
        std::memcpy(b + offset, &x, sizeof(Unit));
    }
}

uint8_t* Item(const SortParms& parms, uint32_t index) {
    return parms.basePtr + size_t(index) * parms.itemSize;
}

int32_t Compare(const SortParms& parms, uint32_t index1, uint32_t index2) {
    return parms.compFunc(Item(parms, index1), Item(parms, index2), parms.userData);
}

void Swap(const SortParms& parms, uint32_t index1, uint32_t index2) {
    SwapItemBytes(Item(parms, index1), Item(parms, index2), parms.itemSize);
}

void SelectionSort(const SortParms& parms, uint32_t first, uint32_t last) {
    for (uint32_t position = first; position + 1 < last; ++position) {
        uint32_t smallest = position;
        for (uint32_t k = position + 1; k < last; ++k) {
            if (Compare(parms, smallest, k) > 0)
                smallest = k;
        }
        if (smallest != position)
            Swap(parms, position, smallest);
    }
}

// Partitions [first, last) around the pivot at first; returns the pivot's final index
// candidate j (first when the pivot is the smallest item).
uint32_t Partition(const SortParms& parms, uint32_t first, uint32_t last) {
    uint32_t i = first;
    uint32_t j = last;
    for (;;) {
        do {
            ++i;
        } while (i < last && Compare(parms, i, first) < 0);
        do {
            --j;
        } while (j > first && Compare(parms, j, first) > 0);
        if (i >= j)
            return j;
        Swap(parms, i, j);
    }
}

} // namespace

void SwapItemBytes(void* item1, void* item2, uint32_t itemSize) {
    auto* a = static_cast<uint8_t*>(item1);
    auto* b = static_cast<uint8_t*>(item2);
    if (itemSize % 4 == 0)
        SwapUnits<uint32_t>(a, b, itemSize);
    else if (itemSize % 2 == 1)
        SwapUnits<uint8_t>(a, b, itemSize);
    else
        SwapUnits<uint16_t>(a, b, itemSize);
}

void find_pivot(const SortParms& parms, uint32_t first, uint32_t last) {
    const uint32_t mid = first + (last - first) / 2;
    const uint32_t end = last - 1;
    if (Compare(parms, first, mid) < 0) {
        if (Compare(parms, mid, end) < 0)
            Swap(parms, first, mid);
        else if (Compare(parms, first, end) > 0)
            Swap(parms, first, end);
    } else if (Compare(parms, first, end) < 0) {
        if (Compare(parms, mid, end) >= 0)
            Swap(parms, first, end);
        else
            Swap(parms, first, mid);
    }
}

void qsort1(const SortParms& parms, uint32_t first, uint32_t last) {
    if (last - first <= 1)
        return;
    while (last - first > kSelectionSortLimit) {
        find_pivot(parms, first, last);
        const uint32_t j = Partition(parms, first, last);
        if (j == first) {
            ++first;
        } else {
            Swap(parms, first, j);
            // Recurse into the smaller side and loop over the larger one, so the stack stays
            // logarithmic in the item count.
            if (j - first < last - j - 1) {
                qsort1(parms, first, j);
                first = j + 1;
            } else {
                qsort1(parms, j + 1, last);
                last = j;
            }
        }
        if (last - first <= 1)
            return;
    }
    SelectionSort(parms, first, last);
}
