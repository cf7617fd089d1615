#pragma once

#include "ZPtrArray.h"
#include "ZSharedObject.h"

#include <type_traits>

/// An array of shared objects that holds one reference on every non-null element, from its
/// insertion until it is deleted, replaced, or the array is emptied or destroyed.
///
/// Copy() (inherited from the scalar layer) yields a plain pointer array that holds no
/// references; copy construction yields a ZSharedObjArray that holds its own.
class ZSharedObjArray : public ZGenericPtrArray<ZSharedObject> {
public:
    ZSharedObjArray() = default;
    explicit ZSharedObjArray(uint32_t clumpSize, uint32_t allocFlags = 0)
        : ZGenericPtrArray<ZSharedObject>(clumpSize, allocFlags) {}
    ZSharedObjArray(const ZSharedObjArray& source);
    /// Releases every element.
    ~ZSharedObjArray() override;

    static int32_t MakeArray(ZSharedObjArray** newArray, uint32_t clumpSize,
                             uint32_t allocFlags = 0) {
        return MakeTyped(newArray, clumpSize, allocFlags);
    }

    /// As ZArray::CopySelf, and the copy takes a reference on every element.
    int32_t CopySelf(ZSharedObjArray& target) const;

    /// Releases the element at index, then removes its slot.
    void DeleteItem(uint32_t index) override;
    /// Releases every element in index order, then empties the array.
    void RemoveAllItems() override;

protected:
    int32_t InsertItemSelf(const void* itemPtr, uint32_t index) override;
    int32_t AddItemSelf(const void* itemPtr, uint32_t* whereAdded) override;
    void SetIndItemSelf(const void* itemPtr, uint32_t index) override;
    int32_t InsertValueSelf(ZPtrArrayItem* value, uint32_t index) override;
    int32_t AddValueSelf(ZPtrArrayItem* value, uint32_t* whereAdded) override;
    void SetNthValueSelf(ZPtrArrayItem* value, uint32_t index) override;

    /// Typed entries to the operations above, for subclasses that add elements through them.
    int32_t InsertValueSelf(ZSharedObject* value, uint32_t index) {
        return InsertValueSelf(ToItem(value), index);
    }
    int32_t AddValueSelf(ZSharedObject* value, uint32_t* whereAdded) {
        return AddValueSelf(ToItem(value), whereAdded);
    }

    static ZPtrArrayItem* ToItem(ZSharedObject* object) {
        return reinterpret_cast<ZPtrArrayItem*>(object);
    }
    static ZSharedObject* FromItem(ZPtrArrayItem* item) {
        return reinterpret_cast<ZSharedObject*>(item);
    }

private:
    // Stores object at index (a slot in use), taking its reference before the old element's
    // is dropped so that storing the element already there is safe.
    void Replace(ZSharedObject* object, uint32_t index);
};

/// A shared-object array typed for T, a subclass of ZSharedObject. Slots hold the elements'
/// ZSharedObject pointers, so the slot-address forms (GetItemPtr, NextPtr, PreviousPtr) are
/// typed ZSharedObject**; the value forms convert to and from T*. Compare and test functions
/// receive the T pointers themselves.
template <class T> class ZSharedObjectArray : public ZSharedObjArray {
    static_assert(std::is_base_of_v<ZSharedObject, T>, "elements must be shared objects");

    static T* FromItem(ZPtrArrayItem* item) {
        return static_cast<T*>(ZSharedObjArray::FromItem(item));
    }
    static ZPtrArrayItem* ToItem(T* value) {
        return ZSharedObjArray::ToItem(static_cast<ZSharedObject*>(value));
    }
    using Callbacks = ZPtrArrayCallbacks<T*, &ZSharedObjectArray::FromItem>;

public:
    using CompareFunction = typename Callbacks::CompareFunction;
    using TestFunction = typename Callbacks::TestFunction;

    class Iterator;

    ZSharedObjectArray() = default;
    explicit ZSharedObjectArray(uint32_t clumpSize, uint32_t allocFlags = 0)
        : ZSharedObjArray(clumpSize, allocFlags) {}

    static int32_t MakeArray(ZSharedObjectArray** newArray, uint32_t clumpSize,
                             uint32_t allocFlags = 0) {
        return MakeTyped(newArray, clumpSize, allocFlags);
    }

    /// Appends value and takes a reference on it; its index goes to *whereAdded when given.
    int32_t AddValue(T* value, uint32_t* whereAdded = nullptr) {
        return AddValueSelf(value, whereAdded);
    }
    /// Inserts value before index and takes a reference on it.
    int32_t InsertValue(T* value, uint32_t index) { return InsertValueSelf(value, index); }
    /// The element at index (no reference is added), or null when there is no such item.
    T* NthValue(uint32_t index) const { return FromItem(NthValueSelf(index)); }
    /// Replaces the element at index: the new one gains a reference, the old one loses one.
    void SetNthValue(T* value, uint32_t index) { SetNthValueSelf(ToItem(value), index); }
    uint32_t FindValue(T* value) const { return FindValueSelf(ToItem(value)); }

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

protected:
    using ZSharedObjArray::AddValueSelf;
    using ZSharedObjArray::InsertValueSelf;
    /// Typed entries for subclasses: they reach whatever override of the operation is in force.
    int32_t AddValueSelf(T* value, uint32_t* whereAdded) {
        return AddValueSelf(ToItem(value), whereAdded);
    }
    int32_t InsertValueSelf(T* value, uint32_t index) {
        return InsertValueSelf(ToItem(value), index);
    }
};

/// An iterator handing out T pointers (no reference is added) or slot addresses.
template <class T> class ZSharedObjectArray<T>::Iterator : public ZSharedObjArray::Iterator {
public:
    explicit Iterator(ZSharedObjectArray* array = nullptr, uint32_t start = 0)
        : ZSharedObjArray::Iterator(array, start) {}

    bool Next(T** itemPtr) { return ValueOut(itemPtr, &ZArray::Iterator::Next); }
    bool Previous(T** itemPtr) { return ValueOut(itemPtr, &ZArray::Iterator::Previous); }
    /// The next (or previous) element, or null at the end (or beginning).
    T* NextValue() {
        T* value = nullptr;
        return Next(&value) ? value : nullptr;
    }
    T* PreviousValue() {
        T* value = nullptr;
        return Previous(&value) ? value : nullptr;
    }

private:
    bool ValueOut(T** itemPtr, bool (ZArray::Iterator::*step)(void*)) {
        ZPtrArrayItem* item = nullptr;
        if (!(this->*step)(&item))
            return false;
        if (itemPtr)
            *itemPtr = FromItem(item);
        return true;
    }
};
