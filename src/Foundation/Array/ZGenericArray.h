#pragma once

#include "ZArray.h"

#include <new>
#include <type_traits>

/// A ZArray whose items are of type T (copied as raw bytes, so T must be trivially copyable).
template <class T> class ZGenericArray : public ZArray {
    static_assert(std::is_trivially_copyable_v<T>, "array items are copied as raw bytes");

public:
    /// Compare and test functions that receive the items' addresses typed.
    using CompareFunction = int32_t (*)(const T* item1, const T* item2, void* userData);
    using TestFunction = bool (*)(const T* item, void* userData);

    class Iterator;

    /// An uninitialised array.
    ZGenericArray() = default;
    explicit ZGenericArray(uint32_t clumpSize, uint32_t allocFlags = 0)
        : ZArray(sizeof(T), clumpSize, allocFlags) {}

    static int32_t MakeArray(ZGenericArray** newArray, uint32_t clumpSize,
                             uint32_t allocFlags = 0) {
        return MakeTyped(newArray, clumpSize, allocFlags);
    }

    int32_t InitArray(uint32_t clumpSize, uint32_t allocFlags = 0) {
        return ZArray::InitArray(sizeof(T), clumpSize, allocFlags);
    }

    int32_t InsertItem(const T* itemPtr, uint32_t index) {
        return ZArray::InsertItem(itemPtr, index);
    }
    int32_t AddItem(const T* itemPtr, uint32_t* whereAdded = nullptr) {
        return ZArray::AddItem(itemPtr, whereAdded);
    }
    void SetIndItem(const T* itemPtr, uint32_t index) { ZArray::SetIndItem(itemPtr, index); }
    bool GetIndItem(T* itemPtr, uint32_t index) const { return ZArray::GetIndItem(itemPtr, index); }

    uint32_t FindFirst(TestFunction testFunction, void* userData) const {
        TestContext context{testFunction, userData};
        return ZArray::FindFirst(&CallTest, &context);
    }
    uint32_t FindLast(TestFunction testFunction, void* userData) const {
        TestContext context{testFunction, userData};
        return ZArray::FindLast(&CallTest, &context);
    }
    void Sort(CompareFunction compareFunction, void* userData) {
        CompareContext context{compareFunction, userData};
        ZArray::Sort(&CallCompare, &context);
    }
    void PartialSort(uint32_t firstIndex, uint32_t itemCount, CompareFunction compareFunction,
                     void* userData) {
        CompareContext context{compareFunction, userData};
        ZArray::PartialSort(firstIndex, itemCount, &CallCompare, &context);
    }

    /// The address of slot index (not range-checked), or null when uninitialised.
    T* GetItemPtr(uint32_t index) const { return static_cast<T*>(ZArray::GetItemPtr(index)); }
    T* operator[](uint32_t index) const { return GetItemPtr(index); }

protected:
    template <class Array>
    static int32_t MakeTyped(Array** newArray, uint32_t clumpSize, uint32_t allocFlags) {
        *newArray = nullptr;
        Array* array = new (std::nothrow) Array();
        if (!array)
            return QorForceMemError();
        int32_t err = array->InitArray(clumpSize, allocFlags);
        if (err != 0) {
            delete array;
            return err;
        }
        *newArray = array;
        return 0;
    }

private:
    // The untyped sort and searches pass these on to the typed functions.
    struct CompareContext {
        CompareFunction function;
        void* userData;
    };
    struct TestContext {
        TestFunction function;
        void* userData;
    };
    static int32_t CallCompare(const void* item1, const void* item2, void* context) {
        auto* c = static_cast<CompareContext*>(context);
        return c->function(static_cast<const T*>(item1), static_cast<const T*>(item2), c->userData);
    }
    static bool CallTest(const void* item, void* context) {
        auto* c = static_cast<TestContext*>(context);
        return c->function(static_cast<const T*>(item), c->userData);
    }
};

/// An iterator handing out typed items or slot addresses.
template <class T> class ZGenericArray<T>::Iterator : public ZArray::Iterator {
public:
    explicit Iterator(ZGenericArray* array = nullptr, uint32_t start = 0)
        : ZArray::Iterator(array, start) {}

    bool Next(T* itemPtr) { return ZArray::Iterator::Next(itemPtr); }
    bool Previous(T* itemPtr) { return ZArray::Iterator::Previous(itemPtr); }
    bool NextPtr(T** itemPtr) { return SlotOut(itemPtr, &ZArray::Iterator::NextPtr); }
    bool PreviousPtr(T** itemPtr) { return SlotOut(itemPtr, &ZArray::Iterator::PreviousPtr); }

private:
    bool SlotOut(T** itemPtr, bool (ZArray::Iterator::*step)(void**)) {
        void* slot = nullptr;
        if (!(this->*step)(&slot))
            return false;
        if (itemPtr)
            *itemPtr = static_cast<T*>(slot);
        return true;
    }
};

/// A typed array whose items are handled by value.
template <class T> class ZGenericScalarArray : public ZGenericArray<T> {
public:
    ZGenericScalarArray() = default;
    explicit ZGenericScalarArray(uint32_t clumpSize, uint32_t allocFlags = 0)
        : ZGenericArray<T>(clumpSize, allocFlags) {}

    static int32_t MakeArray(ZGenericScalarArray** newArray, uint32_t clumpSize,
                             uint32_t allocFlags = 0) {
        return ZGenericArray<T>::MakeTyped(newArray, clumpSize, allocFlags);
    }

    /// A new ZGenericScalarArray holding a copy of the values.
    int32_t Copy(ZArray** newArray) const override {
        *newArray = nullptr;
        auto* copy = new (std::nothrow) ZGenericScalarArray();
        if (!copy)
            return QorForceMemError();
        int32_t err = ZArray::CopySelf(*copy);
        if (err != 0) {
            delete copy;
            return err;
        }
        *newArray = copy;
        return 0;
    }

    /// Inserts value before index (index == GetNumItems() appends).
    int32_t InsertValue(T value, uint32_t index) { return InsertValueSelf(value, index); }
    /// Appends value; its index goes to *whereAdded when given.
    int32_t AddValue(T value, uint32_t* whereAdded = nullptr) {
        return AddValueSelf(value, whereAdded);
    }
    /// The value at index; a value-initialised T when there is no such item.
    T NthValue(uint32_t index) const { return NthValueSelf(index); }
    /// Overwrites the value at index; nothing when there is no such item.
    void SetNthValue(T value, uint32_t index) { SetNthValueSelf(value, index); }
    /// The index of the first item equal to value, or kArrayNotFound.
    uint32_t FindValue(T value) const { return FindValueSelf(value); }

protected:
    virtual int32_t InsertValueSelf(T value, uint32_t index) {
        if (index > this->fNumItems)
            return kArrayIndexOutOfRangeErr;
        int32_t err = this->InsertSlot(index);
        if (err == 0)
            this->Store(&value, index);
        return err;
    }
    virtual int32_t AddValueSelf(T value, uint32_t* whereAdded) {
        const uint32_t index = this->fNumItems;
        int32_t err = this->InsertSlot(index);
        if (err != 0)
            return err;
        this->Store(&value, index);
        if (whereAdded)
            *whereAdded = index;
        return 0;
    }
    virtual T NthValueSelf(uint32_t index) const {
        T value{};
        (void)this->GetIndItem(&value, index);
        return value;
    }
    virtual void SetNthValueSelf(T value, uint32_t index) {
        if (this->fItems && index < this->fNumItems)
            this->Store(&value, index);
    }
    virtual uint32_t FindValueSelf(T value) const {
        if (!this->fItems)
            return kArrayNotFound;
        for (uint32_t index = 0; index < this->fNumItems; ++index) {
            T item;
            this->Retrieve(&item, index);
            if (item == value)
                return index;
        }
        return kArrayNotFound;
    }
};
