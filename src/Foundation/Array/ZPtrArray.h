#pragma once

#include "ZGenericArray.h"

#include <cstring>

/// The opaque item type of pointer arrays; each item is a native pointer.
class ZPtrArrayItem;

/// An array of pointers, handled by value. The array never dereferences them.
class ZPtrArray : public ZGenericScalarArray<ZPtrArrayItem*> {
public:
    class Iterator;

    ZPtrArray() = default;
    explicit ZPtrArray(uint32_t clumpSize, uint32_t allocFlags = 0)
        : ZGenericScalarArray<ZPtrArrayItem*>(clumpSize, allocFlags) {}

    static int32_t MakeArray(ZPtrArray** newArray, uint32_t clumpSize, uint32_t allocFlags = 0) {
        return MakeTyped(newArray, clumpSize, allocFlags);
    }

    /// The pointer stored in a slot whose address is given.
    static ZPtrArrayItem* LoadItem(const void* slot) {
        ZPtrArrayItem* item;
        std::memcpy(&item, slot, sizeof item);
        return item;
    }
};

/// An iterator that also hands out the pointers themselves.
class ZPtrArray::Iterator : public ZGenericScalarArray<ZPtrArrayItem*>::Iterator {
public:
    explicit Iterator(ZPtrArray* array = nullptr, uint32_t start = 0)
        : ZGenericScalarArray<ZPtrArrayItem*>::Iterator(array, start) {}

    /// The next (or previous) pointer, or null at the end (or beginning).
    ZPtrArrayItem* NextValue() {
        ZPtrArrayItem* item = nullptr;
        return Next(&item) ? item : nullptr;
    }
    ZPtrArrayItem* PreviousValue() {
        ZPtrArrayItem* item = nullptr;
        return Previous(&item) ? item : nullptr;
    }
};

/// Adapts compare and test functions that take pointer values of type P to the untyped ones
/// of ZArray; FromItem turns a stored pointer into a P.
template <class P, P (*FromItem)(ZPtrArrayItem*)> struct ZPtrArrayCallbacks {
    using CompareFunction = int32_t (*)(P item1, P item2, void* userData);
    using TestFunction = bool (*)(P item, void* userData);

    struct CompareContext {
        CompareFunction function;
        void* userData;
    };
    struct TestContext {
        TestFunction function;
        void* userData;
    };
    static int32_t CallCompare(const void* slot1, const void* slot2, void* context) {
        auto* c = static_cast<CompareContext*>(context);
        return c->function(FromItem(ZPtrArray::LoadItem(slot1)),
                           FromItem(ZPtrArray::LoadItem(slot2)), c->userData);
    }
    static bool CallTest(const void* slot, void* context) {
        auto* c = static_cast<TestContext*>(context);
        return c->function(FromItem(ZPtrArray::LoadItem(slot)), c->userData);
    }
};

/// A pointer array typed for T*. Compare and test functions receive the pointers themselves.
template <class T> class ZGenericPtrArray : public ZPtrArray {
    static T* FromItem(ZPtrArrayItem* item) { return reinterpret_cast<T*>(item); }
    static ZPtrArrayItem* ToItem(T* value) { return reinterpret_cast<ZPtrArrayItem*>(value); }
    using Callbacks = ZPtrArrayCallbacks<T*, &ZGenericPtrArray::FromItem>;

public:
    using CompareFunction = typename Callbacks::CompareFunction;
    using TestFunction = typename Callbacks::TestFunction;

    class Iterator;

    ZGenericPtrArray() = default;
    explicit ZGenericPtrArray(uint32_t clumpSize, uint32_t allocFlags = 0)
        : ZPtrArray(clumpSize, allocFlags) {}

    static int32_t MakeArray(ZGenericPtrArray** newArray, uint32_t clumpSize,
                             uint32_t allocFlags = 0) {
        return MakeTyped(newArray, clumpSize, allocFlags);
    }

    int32_t InsertValue(T* value, uint32_t index) { return InsertValueSelf(ToItem(value), index); }
    int32_t AddValue(T* value, uint32_t* whereAdded = nullptr) {
        return AddValueSelf(ToItem(value), whereAdded);
    }
    T* NthValue(uint32_t index) const { return FromItem(NthValueSelf(index)); }
    void SetNthValue(T* value, uint32_t index) { SetNthValueSelf(ToItem(value), index); }
    uint32_t FindValue(T* value) const { return FindValueSelf(ToItem(value)); }

    /// Item forms: itemPtr is the address of a pointer.
    int32_t InsertItem(T* const* itemPtr, uint32_t index) {
        return ZArray::InsertItem(itemPtr, index);
    }
    int32_t AddItem(T* const* itemPtr, uint32_t* whereAdded = nullptr) {
        return ZArray::AddItem(itemPtr, whereAdded);
    }
    void SetIndItem(T* const* itemPtr, uint32_t index) { ZArray::SetIndItem(itemPtr, index); }
    bool GetIndItem(T** itemPtr, uint32_t index) const {
        return ZArray::GetIndItem(itemPtr, index);
    }

    uint32_t FindFirst(TestFunction testFunction, void* userData) const {
        typename Callbacks::TestContext context{testFunction, userData};
        return ZArray::FindFirst(&Callbacks::CallTest, &context);
    }
    uint32_t FindLast(TestFunction testFunction, void* userData) const {
        typename Callbacks::TestContext context{testFunction, userData};
        return ZArray::FindLast(&Callbacks::CallTest, &context);
    }
    void Sort(CompareFunction compareFunction, void* userData) {
        typename Callbacks::CompareContext context{compareFunction, userData};
        ZArray::Sort(&Callbacks::CallCompare, &context);
    }
    void PartialSort(uint32_t firstIndex, uint32_t itemCount, CompareFunction compareFunction,
                     void* userData) {
        typename Callbacks::CompareContext context{compareFunction, userData};
        ZArray::PartialSort(firstIndex, itemCount, &Callbacks::CallCompare, &context);
    }

    /// The address of slot index (not range-checked), or null when uninitialised.
    T** GetItemPtr(uint32_t index) const { return static_cast<T**>(ZArray::GetItemPtr(index)); }
    T** operator[](uint32_t index) const { return GetItemPtr(index); }
};

/// An iterator handing out T* values or slot addresses.
template <class T> class ZGenericPtrArray<T>::Iterator : public ZPtrArray::Iterator {
public:
    explicit Iterator(ZGenericPtrArray* array = nullptr, uint32_t start = 0)
        : ZPtrArray::Iterator(array, start) {}

    bool Next(T** itemPtr) { return ZArray::Iterator::Next(itemPtr); }
    bool Previous(T** itemPtr) { return ZArray::Iterator::Previous(itemPtr); }
    bool NextPtr(T*** itemPtr) { return SlotOut(itemPtr, &ZArray::Iterator::NextPtr); }
    bool PreviousPtr(T*** itemPtr) { return SlotOut(itemPtr, &ZArray::Iterator::PreviousPtr); }
    T* NextValue() { return reinterpret_cast<T*>(ZPtrArray::Iterator::NextValue()); }
    T* PreviousValue() { return reinterpret_cast<T*>(ZPtrArray::Iterator::PreviousValue()); }

private:
    bool SlotOut(T*** itemPtr, bool (ZArray::Iterator::*step)(void**)) {
        void* slot = nullptr;
        if (!(this->*step)(&slot))
            return false;
        if (itemPtr)
            *itemPtr = static_cast<T**>(slot);
        return true;
    }
};
