#include "ZSortedArray.h"

#include <cstdint>
#include <new>

ZSortedArray::ZSortedArray(uint32_t itemSize, ZCompareFunction sortFunc, int32_t sortRefCon,
                           bool uniqueElements, uint32_t clumpSize, uint32_t allocFlags) {
    (void)InitArray(itemSize, sortFunc, sortRefCon, uniqueElements, clumpSize, allocFlags);
}

ZSortedArray::ZSortedArray(const ZSortedArray& source) : ZArray() {
    (void)source.CopySelf(*this);
}

int32_t ZSortedArray::MakeArray(ZSortedArray** newArray, uint32_t itemSize,
                                ZCompareFunction sortFunc, int32_t sortRefCon, bool uniqueElements,
                                uint32_t clumpSize, uint32_t allocFlags) {
    *newArray = nullptr;
    auto* array = new (std::nothrow) ZSortedArray();
    if (!array)
        return QorForceMemError();
    int32_t err =
        array->InitArray(itemSize, sortFunc, sortRefCon, uniqueElements, clumpSize, allocFlags);
    if (err != 0) {
        delete array;
        return err;
    }
    *newArray = array;
    return 0;
}

int32_t ZSortedArray::InitArray(uint32_t itemSize, ZCompareFunction sortFunc, int32_t sortRefCon,
                                bool uniqueElements, uint32_t clumpSize, uint32_t allocFlags) {
    // An initialised array keeps its ordering: changing it would leave the items out of order.
    if (IsInitialized())
        return kArrayAlreadyInitializedErr;
    fSortFunc = sortFunc;
    fSortRefCon = sortRefCon;
    fUniqueElements = uniqueElements;
    fFindChoice = kFindAny;
    return ZArray::InitArray(itemSize, clumpSize, allocFlags);
}

int32_t ZSortedArray::Copy(ZArray** newArray) const {
    *newArray = nullptr;
    auto* copy = new (std::nothrow) ZSortedArray();
    if (!copy)
        return QorForceMemError();
    int32_t err = CopySelf(*copy);
    if (err != 0) {
        delete copy;
        return err;
    }
    *newArray = copy;
    return 0;
}

int32_t ZSortedArray::CopySelf(ZSortedArray& target) const {
    target.fSortFunc = fSortFunc;
    target.fSortRefCon = fSortRefCon;
    target.fUniqueElements = fUniqueElements;
    target.fFindChoice = fFindChoice;
    return ZArray::CopySelf(target);
}

void ZSortedArray::SetSortFunc(ZCompareFunction sortFunc) {
    if (sortFunc == fSortFunc)
        return;
    fSortFunc = sortFunc;
    SortSelf(fSortFunc, RefCon());
}

void ZSortedArray::SetSortRefCon(int32_t sortRefCon, bool reSort) {
    fSortRefCon = sortRefCon;
    if (reSort)
        SortSelf(fSortFunc, RefCon());
}

void* ZSortedArray::RefCon() const {
    // The user data is a number; it reaches the compare function in the pointer argument.
    return reinterpret_cast<void*>(static_cast<intptr_t>(fSortRefCon));
}

int32_t ZSortedArray::CompareWith(const void* itemPtr, uint32_t index) const {
    return fSortFunc(itemPtr, GetItemPtrSelf(index), RefCon());
}

bool ZSortedArray::BSearch(const void* itemPtr, uint32_t* foundIndex) const {
    uint32_t lo = 0;
    uint32_t hi = fSortFunc ? fNumItems : 0;
    uint32_t mid = 0;
    int32_t result = -1;
    while (lo < hi) {
        mid = lo + (hi - lo) / 2;
        result = CompareWith(itemPtr, mid);
        if (result == 0)
            break;
        if (result < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    // Without a compare function nothing can be found; additions go to the end.
    if (!fSortFunc) {
        if (foundIndex)
            *foundIndex = fNumItems;
        return false;
    }
    const bool found = result == 0;
    if (!foundIndex)
        return found;

    if (found && !fUniqueElements) {
        if (fFindChoice == kFindFirst) {
            hi = mid;
            while (lo < hi) {
                mid = lo + (hi - lo) / 2;
                if (CompareWith(itemPtr, mid) == 0)
                    hi = mid;
                else
                    lo = mid + 1;
            }
            mid = lo;
        } else if (fFindChoice == kFindLast) {
            lo = mid + 1;
            while (lo < hi) {
                mid = lo + (hi - lo) / 2;
                if (CompareWith(itemPtr, mid) == 0)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            mid = lo - 1;
        }
    }
    *foundIndex = result > 0 ? mid + 1 : mid;
    return found;
}

bool ZSortedArray::SearchAndGet(void* itemPtr, uint32_t* foundIndex) const {
    uint32_t index = 0;
    if (!BSearch(itemPtr, &index))
        return false;
    if (IsInitialized())
        Retrieve(itemPtr, index);
    if (foundIndex)
        *foundIndex = index;
    return true;
}

int32_t ZSortedArray::AddItemSelf(const void* itemPtr, uint32_t* whereAdded) {
    uint32_t index = 0;
    int32_t err = 0;
    if (BSearch(itemPtr, &index)) {
        if (fUniqueElements)
            err = kArrayDuplicateItemErr;
        else if (fFindChoice == kFindLast)
            ++index;
    }
    if (err == 0)
        err = ZArray::InsertItemSelf(itemPtr, index);
    if (whereAdded)
        *whereAdded = index;
    return err;
}
