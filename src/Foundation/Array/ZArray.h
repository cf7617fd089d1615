#pragma once

#include "ZArrayDefs.h"

#include <cstdint>

/// A growable array of fixed-size items kept as raw bytes in one heap block. Slots are added
/// and removed a clump at a time. Iterators registered with the array keep pointing at the
/// same next item while items are inserted and deleted.
///
/// The public operations are non-virtual and call the virtual "Self" operations, which
/// subclasses override to change behaviour. Operations on an uninitialised array return
/// kArrayNotInitializedErr or do nothing. Indices that name no item are ignored (or reported
/// as kArrayIndexOutOfRangeErr) rather than read or written.
class ZArray {
public:
    class Iterator;

    /// An uninitialised array: no item block, no items.
    ZArray();
    /// An array initialised with InitArray; IsInitialized() tells whether that worked.
    ZArray(uint32_t itemSize, uint32_t clumpSize, uint32_t allocFlags = 0);
    /// A copy of the source's items and settings, without its iterators. Uninitialised when
    /// the source is, or when memory ran out.
    ZArray(const ZArray& source);
    ZArray& operator=(const ZArray&) = delete;

    /// A new heap array of this array's class holding a copy of the items; on failure
    /// *newArray is null and the error is returned.
    virtual int32_t Copy(ZArray** newArray) const;
    /// Detaches every registered iterator, then frees the items.
    virtual ~ZArray();
    /// Removes the item at index; the slot count shrinks by a clump when more than a clump
    /// of slots is unused. An index that names no item is ignored.
    virtual void DeleteItem(uint32_t index);
    /// Moves one item to newIndex, shifting the items between; iterators are not told.
    /// kArrayIndexOutOfRangeErr when either index names no item.
    virtual int32_t MoveItemToIndex(uint32_t currentIndex, uint32_t newIndex);
    /// Exchanges two items in place.
    virtual void SwapItems(uint32_t index1, uint32_t index2);
    /// Empties the array down to one clump of slots; iterators go back to position 0.
    virtual void RemoveAllItems();
    /// Shrinks the slots to the items in use (at least one slot).
    virtual void Compact();
    /// Sets whether the slot count may change; returns the previous state. Has no effect on
    /// an uninitialised array or one created with kArrayFixedSlots.
    virtual uint8_t SetLocked(uint8_t lock);

    /// Creates and initialises a heap array; on failure *newArray is null and the error is
    /// returned.
    static int32_t MakeArray(ZArray** newArray, uint32_t itemSize, uint32_t clumpSize,
                             uint32_t allocFlags = 0);

    /// Allocates clumpSize slots of itemSize bytes. The array is locked for good when
    /// allocFlags has kArrayFixedSlots.
    int32_t InitArray(uint32_t itemSize, uint32_t clumpSize, uint32_t allocFlags = 0);
    /// Makes target, which must be uninitialised, a copy of this array's items and settings.
    int32_t CopySelf(ZArray& target) const;

    bool IsInitialized() const { return fItems != nullptr; }
    uint32_t GetItemSize() const { return fItemSize; }
    uint32_t GetNumItems() const { return fNumItems; }
    uint32_t GetNumSlots() const { return fNumSlots; }
    uint32_t GetClumpSize() const { return fClumpSize; }
    uint32_t GetAllocFlags() const { return fAllocFlags; }
    bool IsLocked() const { return fLocked != kArrayUnlocked; }
    bool IsInRange(uint32_t index) const { return index < fNumItems; }
    bool IsInInsertRange(uint32_t index) const { return index <= fNumItems; }
    void SetClumpSize(uint32_t clumpSize) { fClumpSize = clumpSize; }

    /// The address of slot index (not range-checked), or null when uninitialised.
    void* GetItemPtr(uint32_t index) const { return GetItemPtrSelf(index); }

    /// Inserts a copy of the item at itemPtr before index (index == GetNumItems() appends).
    int32_t InsertItem(const void* itemPtr, uint32_t index) {
        return InsertItemSelf(itemPtr, index);
    }
    /// Appends a copy of the item at itemPtr; its index goes to *whereAdded when given.
    int32_t AddItem(const void* itemPtr, uint32_t* whereAdded = nullptr) {
        return AddItemSelf(itemPtr, whereAdded);
    }
    /// Copies the item at index to itemPtr; false (nothing copied) when there is no such item.
    bool GetIndItem(void* itemPtr, uint32_t index) const;
    /// Overwrites the item at index with the one at itemPtr.
    void SetIndItem(const void* itemPtr, uint32_t index) { SetIndItemSelf(itemPtr, index); }

    /// The index of the first (or last) item the test accepts, or kArrayNotFound.
    uint32_t FindFirst(ZTestFunction testFunction, void* userData) const {
        return FindFirstSelf(testFunction, userData);
    }
    uint32_t FindLast(ZTestFunction testFunction, void* userData) const {
        return FindLastSelf(testFunction, userData);
    }

    /// Sorts all items (or itemCount items from firstIndex) by the compare function; not
    /// stable.
    void Sort(ZCompareFunction compareFunction, void* userData) {
        SortSelf(compareFunction, userData);
    }
    void PartialSort(uint32_t firstIndex, uint32_t itemCount, ZCompareFunction compareFunction,
                     void* userData) {
        PartialSortSelf(firstIndex, itemCount, compareFunction, userData);
    }

    /// Reallocates to numSlots slots keeping the items. Does nothing while the array is locked
    /// or fixed; refuses a count below the items in use.
    int32_t SetNumSlots(uint32_t numSlots);

    /// Ready-made compare functions for signed and unsigned 32-bit and 16-bit items.
    static int32_t CompareLong(const void* item1, const void* item2, void* userData);
    static int32_t CompareULong(const void* item1, const void* item2, void* userData);
    static int32_t CompareShort(const void* item1, const void* item2, void* userData);
    static int32_t CompareUShort(const void* item1, const void* item2, void* userData);

protected:
    virtual int32_t InsertItemSelf(const void* itemPtr, uint32_t index);
    virtual int32_t AddItemSelf(const void* itemPtr, uint32_t* whereAdded);
    virtual void SetIndItemSelf(const void* itemPtr, uint32_t index);
    /// A heap block of one item, for moves that find no room elsewhere.
    virtual int32_t GetSwapTemp(void** tempSpace);
    virtual int32_t ReleaseSwapTemp(void** tempSpace);
    /// Opens an empty slot at index (growing by a clump when needed) and tells the iterators.
    virtual int32_t InsertSlot(uint32_t index);
    virtual void* GetItemPtrSelf(uint32_t index) const;
    virtual void Store(const void* itemPtr, uint32_t index);
    virtual void Retrieve(void* itemPtr, uint32_t index) const;
    virtual void MoveItemsFwd(uint32_t firstIndex, uint32_t itemCount, uint32_t delta);
    virtual void MoveItemsBack(uint32_t firstIndex, uint32_t itemCount, uint32_t delta);
    virtual uint32_t FindFirstSelf(ZTestFunction testFunction, void* userData) const;
    virtual uint32_t FindLastSelf(ZTestFunction testFunction, void* userData) const;
    virtual void SortSelf(ZCompareFunction compareFunction, void* userData);
    virtual void PartialSortSelf(uint32_t firstIndex, uint32_t itemCount,
                                 ZCompareFunction compareFunction, void* userData);

    uint8_t* fItems = nullptr;
    uint32_t fNumSlots = 0;
    uint32_t fNumItems = 0;
    uint32_t fItemSize = 0;
    uint32_t fClumpSize = 0;
    uint32_t fAllocFlags = 0;
    uint8_t fLocked = kArrayUnlocked;
    Iterator* fIterators = nullptr;

private:
    void NotifyInserted(uint32_t index);
    void NotifyDeleted(uint32_t index);
    void SortRange(uint32_t firstIndex, uint32_t itemCount, ZCompareFunction compareFunction,
                   void* userData);
};

/// A cursor over an array that stays on the same next item while items before it are
/// inserted or deleted. A detached iterator (no array, or its array was destroyed) is at both
/// the beginning and the end and returns nothing.
class ZArray::Iterator {
public:
    /// Registers with array at min(start, its item count); detached when array is null or
    /// uninitialised.
    explicit Iterator(ZArray* array = nullptr, uint32_t start = 0);
    Iterator(const Iterator& other);
    Iterator& operator=(const Iterator& other);
    ~Iterator() { RemoveFromArray(); }

    ZArray* GetArray() const { return fArray; }
    uint32_t GetPosition() const { return fPosition; }
    bool AtBeginning() const { return fArray == nullptr || fPosition == 0; }
    bool AtEnd() const { return fArray == nullptr || fPosition >= fArray->fNumItems; }
    void MoveTo(uint32_t position);

    /// Copies the item at the position to itemPtr and advances; false at the end.
    bool Next(void* itemPtr);
    /// Steps back and copies that item to itemPtr; false at the beginning.
    bool Previous(void* itemPtr);
    /// As Next and Previous, handing out the slot's address instead of a copy.
    bool NextPtr(void** itemPtr);
    bool PreviousPtr(void** itemPtr);

    /// Called by the array after an item was inserted or deleted at index.
    void ItemInserted(uint32_t index);
    void ItemDeleted(uint32_t index);

    /// Unregisters from the array; the iterator is detached afterwards.
    void RemoveFromArray();

private:
    friend class ZArray;
    void AttachTo(ZArray* array, uint32_t position);

    ZArray* fArray = nullptr;
    uint32_t fPosition = 0;
    Iterator* fNextIterator = nullptr;
};
