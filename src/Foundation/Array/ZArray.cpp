#include "ZArray.h"

#include "ZArraySort.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// malloc and realloc may answer a request for 0 bytes with null (and realloc then frees the
// block), which would read as a failure; an empty array keeps a block of one byte instead.
size_t BlockSize(uint32_t numSlots, uint32_t itemSize) {
    return std::max<size_t>(size_t(numSlots) * itemSize, 1);
}

// Items moved by MoveItemToIndex up to this size go through a buffer on the stack.
constexpr uint32_t kLocalScratchSize = 16;

} // namespace

ZArray::ZArray() = default;

ZArray::ZArray(uint32_t itemSize, uint32_t clumpSize, uint32_t allocFlags) {
    (void)InitArray(itemSize, clumpSize, allocFlags);
}

ZArray::ZArray(const ZArray& source) {
    (void)source.CopySelf(*this);
}

ZArray::~ZArray() {
    Iterator* iterator = fIterators;
    while (iterator) {
        Iterator* next = iterator->fNextIterator;
        iterator->fArray = nullptr;
        iterator->fPosition = 0;
        iterator->fNextIterator = nullptr;
        iterator = next;
    }
    fIterators = nullptr;
    std::free(fItems);
}

int32_t ZArray::MakeArray(ZArray** newArray, uint32_t itemSize, uint32_t clumpSize,
                          uint32_t allocFlags) {
    *newArray = nullptr;
    ZArray* array = new (std::nothrow) ZArray();
    if (!array)
        return QorForceMemError();
    int32_t err = array->InitArray(itemSize, clumpSize, allocFlags);
    if (err != 0) {
        delete array;
        return err;
    }
    *newArray = array;
    return 0;
}

int32_t ZArray::InitArray(uint32_t itemSize, uint32_t clumpSize, uint32_t allocFlags) {
    if (fItems)
        return kArrayAlreadyInitializedErr;
    auto* items = static_cast<uint8_t*>(std::malloc(BlockSize(clumpSize, itemSize)));
    if (!items)
        return QorForceMemError();
    fItems = items;
    fItemSize = itemSize;
    fClumpSize = clumpSize;
    fNumSlots = clumpSize;
    fNumItems = 0;
    fLocked = (allocFlags & kArrayFixedSlots) ? kArrayLocked : kArrayUnlocked;
    fAllocFlags = allocFlags & ~kArrayTransientAllocFlag;
    return 0;
}

int32_t ZArray::Copy(ZArray** newArray) const {
    *newArray = nullptr;
    ZArray* copy = new (std::nothrow) ZArray();
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

int32_t ZArray::CopySelf(ZArray& target) const {
    if (!fItems)
        return kArrayNotInitializedErr;
    // Copying over a live block would lose its items (and, for subclasses, what they own).
    if (target.fItems)
        return kArrayAlreadyInitializedErr;
    auto* items = static_cast<uint8_t*>(std::malloc(BlockSize(fNumSlots, fItemSize)));
    if (!items)
        return QorForceMemError();
    std::memcpy(items, fItems, size_t(fNumItems) * fItemSize);
    target.fItems = items;
    target.fNumSlots = fNumSlots;
    target.fNumItems = fNumItems;
    target.fItemSize = fItemSize;
    target.fClumpSize = fClumpSize;
    target.fAllocFlags = fAllocFlags;
    target.fLocked = fLocked;
    return 0;
}

int32_t ZArray::SetNumSlots(uint32_t numSlots) {
    if (numSlots == fNumSlots || fLocked != kArrayUnlocked || (fAllocFlags & kArrayFixedSlots))
        return 0;
    if (!fItems)
        return kArrayNotInitializedErr;
    if (numSlots < fNumItems)
        return kArrayIndexOutOfRangeErr;
    void* items = std::realloc(fItems, BlockSize(numSlots, fItemSize));
    if (!items)
        return QorForceMemError();
    fItems = static_cast<uint8_t*>(items);
    fNumSlots = numSlots;
    return 0;
}

int32_t ZArray::InsertSlot(uint32_t index) {
    if (!fItems)
        return kArrayNotInitializedErr;
    if (index > fNumItems)
        return kArrayIndexOutOfRangeErr;
    if (fNumItems >= fNumSlots) {
        // A clump of 0 would never grow; such an array grows a slot at a time.
        const uint32_t step = fClumpSize != 0 ? fClumpSize : 1;
        if (step > UINT32_MAX - fNumSlots)
            return QorForceMemError();
        int32_t err = SetNumSlots(fNumSlots + step);
        if (err != 0)
            return err;
        // Locked and fixed arrays keep their slot count: refuse rather than write past it.
        if (fNumItems >= fNumSlots)
            return kArrayFullErr;
    }
    if (index < fNumItems)
        MoveItemsFwd(index, fNumItems - index, 1);
    ++fNumItems;
    NotifyInserted(index);
    return 0;
}

int32_t ZArray::InsertItemSelf(const void* itemPtr, uint32_t index) {
    if (index > fNumItems)
        return kArrayIndexOutOfRangeErr;
    int32_t err = InsertSlot(index);
    if (err == 0)
        Store(itemPtr, index);
    return err;
}

int32_t ZArray::AddItemSelf(const void* itemPtr, uint32_t* whereAdded) {
    // Not through InsertItemSelf: subclasses that act on insertion override both, and an
    // addition must be acted on once.
    const uint32_t index = fNumItems;
    int32_t err = InsertSlot(index);
    if (err != 0)
        return err;
    Store(itemPtr, index);
    if (whereAdded)
        *whereAdded = index;
    return 0;
}

void ZArray::DeleteItem(uint32_t index) {
    if (!fItems || index >= fNumItems)
        return;
    --fNumItems;
    MoveItemsBack(index + 1, fNumItems - index, 1);
    if (uint64_t(fNumSlots) > uint64_t(fNumItems) + fClumpSize)
        (void)SetNumSlots(fNumSlots - fClumpSize);
    NotifyDeleted(index);
}

void ZArray::RemoveAllItems() {
    if (!fItems)
        return;
    fNumItems = 0;
    if (fNumSlots > fClumpSize)
        (void)SetNumSlots(fClumpSize);
    for (Iterator* iterator = fIterators; iterator; iterator = iterator->fNextIterator)
        iterator->fPosition = 0;
}

void ZArray::Compact() {
    if (!fItems)
        return;
    const uint32_t wanted = std::max<uint32_t>(fNumItems, 1);
    if (fNumSlots > wanted)
        (void)SetNumSlots(wanted);
}

uint8_t ZArray::SetLocked(uint8_t lock) {
    const uint8_t previous = fLocked;
    const uint8_t wanted = lock ? kArrayLocked : kArrayUnlocked;
    if (fItems && wanted != fLocked && !(fAllocFlags & kArrayFixedSlots))
        fLocked = wanted;
    return previous;
}

bool ZArray::GetIndItem(void* itemPtr, uint32_t index) const {
    if (!fItems || index >= fNumItems)
        return false;
    Retrieve(itemPtr, index);
    return true;
}

void ZArray::SetIndItemSelf(const void* itemPtr, uint32_t index) {
    if (fItems && index < fNumItems)
        Store(itemPtr, index);
}

void* ZArray::GetItemPtrSelf(uint32_t index) const {
    if (!fItems)
        return nullptr;
    return fItems + size_t(index) * fItemSize;
}

void ZArray::Store(const void* itemPtr, uint32_t index) {
    // memmove: the caller may pass the address of a slot of this very array.
    std::memmove(GetItemPtrSelf(index), itemPtr, fItemSize);
}

void ZArray::Retrieve(void* itemPtr, uint32_t index) const {
    std::memmove(itemPtr, GetItemPtrSelf(index), fItemSize);
}

void ZArray::MoveItemsFwd(uint32_t firstIndex, uint32_t itemCount, uint32_t delta) {
    if (itemCount == 0 || delta == 0)
        return;
    std::memmove(GetItemPtrSelf(firstIndex + delta), GetItemPtrSelf(firstIndex),
                 size_t(itemCount) * fItemSize);
}

void ZArray::MoveItemsBack(uint32_t firstIndex, uint32_t itemCount, uint32_t delta) {
    if (itemCount == 0 || delta == 0)
        return;
    std::memmove(GetItemPtrSelf(firstIndex - delta), GetItemPtrSelf(firstIndex),
                 size_t(itemCount) * fItemSize);
}

int32_t ZArray::GetSwapTemp(void** tempSpace) {
    *tempSpace = std::malloc(std::max<size_t>(fItemSize, 1));
    return *tempSpace ? 0 : QorForceMemError();
}

int32_t ZArray::ReleaseSwapTemp(void** tempSpace) {
    std::free(*tempSpace);
    *tempSpace = nullptr;
    return 0;
}

int32_t ZArray::MoveItemToIndex(uint32_t currentIndex, uint32_t newIndex) {
    if (!fItems)
        return kArrayNotInitializedErr;
    if (currentIndex == newIndex)
        return 0;
    if (currentIndex >= fNumItems || newIndex >= fNumItems)
        return kArrayIndexOutOfRangeErr;

    alignas(8) uint8_t localScratch[kLocalScratchSize];
    void* swapBlock = nullptr;
    void* scratch;
    if (fItemSize <= kLocalScratchSize) {
        scratch = localScratch;
    } else if (fNumItems < fNumSlots) {
        scratch = GetItemPtrSelf(fNumItems);
    } else {
        int32_t err = GetSwapTemp(&swapBlock);
        if (err != 0) {
            if (swapBlock)
                (void)ReleaseSwapTemp(&swapBlock);
            return err;
        }
        scratch = swapBlock;
    }

    Retrieve(scratch, currentIndex);
    if (currentIndex < newIndex)
        MoveItemsBack(currentIndex + 1, newIndex - currentIndex, 1);
    else
        MoveItemsFwd(newIndex, currentIndex - newIndex, 1);
    Store(scratch, newIndex);
    if (swapBlock)
        (void)ReleaseSwapTemp(&swapBlock);
    return 0;
}

void ZArray::SwapItems(uint32_t index1, uint32_t index2) {
    if (!fItems || index1 >= fNumItems || index2 >= fNumItems || index1 == index2)
        return;
    SwapItemBytes(GetItemPtrSelf(index1), GetItemPtrSelf(index2), fItemSize);
}

uint32_t ZArray::FindFirstSelf(ZTestFunction testFunction, void* userData) const {
    if (!fItems)
        return kArrayNotFound;
    for (uint32_t index = 0; index < fNumItems; ++index) {
        if (testFunction(GetItemPtrSelf(index), userData))
            return index;
    }
    return kArrayNotFound;
}

uint32_t ZArray::FindLastSelf(ZTestFunction testFunction, void* userData) const {
    if (!fItems)
        return kArrayNotFound;
    for (uint32_t index = fNumItems; index > 0; --index) {
        if (testFunction(GetItemPtrSelf(index - 1), userData))
            return index - 1;
    }
    return kArrayNotFound;
}

void ZArray::SortSelf(ZCompareFunction compareFunction, void* userData) {
    SortRange(0, fNumItems, compareFunction, userData);
}

void ZArray::PartialSortSelf(uint32_t firstIndex, uint32_t itemCount,
                             ZCompareFunction compareFunction, void* userData) {
    SortRange(firstIndex, itemCount, compareFunction, userData);
}

void ZArray::SortRange(uint32_t firstIndex, uint32_t itemCount, ZCompareFunction compareFunction,
                       void* userData) {
    if (!fItems || !compareFunction || firstIndex >= fNumItems)
        return;
    // Only items in use are sorted; a range reaching beyond them is cut short.
    itemCount = std::min(itemCount, fNumItems - firstIndex);
    const SortParms parms{fItems, fItemSize, compareFunction, userData};
    qsort1(parms, firstIndex, firstIndex + itemCount);
}

void ZArray::NotifyInserted(uint32_t index) {
    for (Iterator* iterator = fIterators; iterator; iterator = iterator->fNextIterator)
        iterator->ItemInserted(index);
}

void ZArray::NotifyDeleted(uint32_t index) {
    for (Iterator* iterator = fIterators; iterator; iterator = iterator->fNextIterator)
        iterator->ItemDeleted(index);
}
