#pragma once

#include "ZArray.h"

/// Which of several equal items a search settles on.
enum FindChoice : uint8_t { kFindAny = 0, kFindFirst = 1, kFindLast = 2 };

/// An array kept in the order of its compare function, searched by bisection. AddItem inserts
/// in order; InsertItem and SetIndItem store where they are told, as in ZArray.
class ZSortedArray : public ZArray {
public:
    /// An uninitialised sorted array.
    ZSortedArray() = default;
    /// A sorted array initialised with InitArray; IsInitialized() tells whether that worked.
    ZSortedArray(uint32_t itemSize, ZCompareFunction sortFunc, int32_t sortRefCon,
                 bool uniqueElements, uint32_t clumpSize, uint32_t allocFlags = 0);
    ZSortedArray(const ZSortedArray& source);

    static int32_t MakeArray(ZSortedArray** newArray, uint32_t itemSize, ZCompareFunction sortFunc,
                             int32_t sortRefCon, bool uniqueElements, uint32_t clumpSize,
                             uint32_t allocFlags = 0);

    /// Sets the ordering (searches find any of equal items) and initialises the items.
    int32_t InitArray(uint32_t itemSize, ZCompareFunction sortFunc, int32_t sortRefCon,
                      bool uniqueElements, uint32_t clumpSize, uint32_t allocFlags = 0);

    /// A new heap ZSortedArray with the same ordering and items.
    int32_t Copy(ZArray** newArray) const override;
    /// Makes target, which must be uninitialised, a copy of this array.
    int32_t CopySelf(ZSortedArray& target) const;

    ZCompareFunction GetSortFunc() const { return fSortFunc; }
    int32_t GetSortRefCon() const { return fSortRefCon; }
    bool GetUnique() const { return fUniqueElements; }
    void SetUnique(bool uniqueElements) { fUniqueElements = uniqueElements; }
    FindChoice GetFindChoice() const { return fFindChoice; }
    void SetFindChoice(FindChoice choice) { fFindChoice = choice; }

    /// Changes the compare function and re-sorts the items with it.
    void SetSortFunc(ZCompareFunction sortFunc);
    /// Changes the compare function's user data, re-sorting when reSort is true.
    void SetSortRefCon(int32_t sortRefCon, bool reSort);

    /// Whether an item equal to the one at itemPtr is present. *foundIndex (when given)
    /// receives its index (the first or last of several when the find choice says so), or the
    /// index at which it would be inserted.
    bool BSearch(const void* itemPtr, uint32_t* foundIndex) const;
    /// As BSearch; when found, the stored item is copied over the one at itemPtr.
    bool SearchAndGet(void* itemPtr, uint32_t* foundIndex) const;

protected:
    /// Inserts in order: after the last equal item with kFindLast, else where BSearch points.
    /// Refuses an equal item with kArrayDuplicateItemErr when elements must be unique.
    int32_t AddItemSelf(const void* itemPtr, uint32_t* whereAdded) override;

    ZCompareFunction fSortFunc = nullptr;
    int32_t fSortRefCon = 0;
    bool fUniqueElements = false;
    FindChoice fFindChoice = kFindAny;

private:
    int32_t CompareWith(const void* itemPtr, uint32_t index) const;
    void* RefCon() const;
};
