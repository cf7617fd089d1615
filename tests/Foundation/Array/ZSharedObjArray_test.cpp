#include "ZSharedObjArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts destructions so a test sees exactly when the last reference went.
struct Probe : ZSharedObject {
    Probe(int id, int* destroyed) : mID(id), mDestroyed(destroyed) {}
    ~Probe() override { ++*mDestroyed; }
    int mID;
    int* mDestroyed;
};

using ProbeArray = ZSharedObjectArray<Probe>;

TEST(ZSharedObjArray, HoldsOneReferencePerElement) {
    int destroyed = 0;
    Probe* a = new Probe(1, &destroyed);
    Probe* b = new Probe(2, &destroyed);
    {
        ProbeArray array(2);
        uint32_t where = 99;
        ASSERT_EQ(array.AddValue(a, &where), 0);
        EXPECT_EQ(where, 0u);
        ASSERT_EQ(array.InsertValue(b, 0), 0);
        ASSERT_EQ(array.AddValue(a), 0); // the same object twice: two references
        ASSERT_EQ(array.AddValue(nullptr), 0);
        EXPECT_EQ(a->GetReferenceCount(), 3);
        EXPECT_EQ(b->GetReferenceCount(), 2);
        EXPECT_EQ(array.NthValue(0), b);
        EXPECT_EQ(array.NthValue(3), nullptr);
        EXPECT_EQ(array.FindValue(a), 1u);

        EXPECT_EQ(array.InsertValue(b, 9), kArrayIndexOutOfRangeErr);
        EXPECT_EQ(b->GetReferenceCount(), 2); // a refused insertion takes no reference

        array.DeleteItem(1);
        EXPECT_EQ(a->GetReferenceCount(), 2);
        array.DeleteItem(2); // the null element
        EXPECT_EQ(array.GetNumItems(), 2u);
    }
    // The array's references are gone; the creators' remain.
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(a->GetReferenceCount(), 1);
    EXPECT_EQ(b->GetReferenceCount(), 1);
    a->Release();
    b->Release();
    EXPECT_EQ(destroyed, 2);
}

TEST(ZSharedObjArray, ReplacingAttachesBeforeReleasing) {
    int destroyed = 0;
    ProbeArray array(4);
    Probe* a = new Probe(1, &destroyed);
    array.AddValue(a);
    a->Release(); // the array now owns a

    array.SetNthValue(a, 0); // the same object: must survive
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(a->GetReferenceCount(), 1);
    ZSharedObject* same = a;
    array.SetIndItem(&same, 0);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(a->GetReferenceCount(), 1);

    Probe* b = new Probe(2, &destroyed);
    array.SetNthValue(b, 0); // a loses its last reference
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(b->GetReferenceCount(), 2);
    array.SetNthValue(b, 1); // no such item: nothing stored, no reference taken
    EXPECT_EQ(b->GetReferenceCount(), 2);
    array.SetNthValue(nullptr, 0);
    EXPECT_EQ(b->GetReferenceCount(), 1);
    EXPECT_EQ(array.NthValue(0), nullptr);
    b->Release();
    EXPECT_EQ(destroyed, 2);
}

TEST(ZSharedObjArray, ItemFormsFollowTheSameRules) {
    int destroyed = 0;
    ZSharedObjArray array(2);
    ZSharedObject* a = new Probe(1, &destroyed);
    ASSERT_EQ(array.AddItem(&a), 0);
    ASSERT_EQ(array.InsertItem(&a, 0), 0);
    EXPECT_EQ(a->GetReferenceCount(), 3);
    ZSharedObject* out = nullptr;
    EXPECT_TRUE(array.GetIndItem(&out, 1));
    EXPECT_EQ(out, a);
    EXPECT_EQ(*array[0], a);
    a->Release();
    array.RemoveAllItems();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(array.GetNumItems(), 0u);
}

TEST(ZSharedObjArray, RemoveAllAndDestroyReleaseEveryElement) {
    int destroyed = 0;
    auto array = std::make_unique<ProbeArray>(4);
    for (int i = 0; i < 6; ++i) {
        Probe* p = new Probe(i, &destroyed);
        array->AddValue(p);
        p->Release();
    }
    array->RemoveAllItems();
    EXPECT_EQ(destroyed, 6);
    EXPECT_EQ(array->GetNumSlots(), 4u);

    for (int i = 0; i < 3; ++i) {
        Probe* p = new Probe(i, &destroyed);
        array->AddValue(p);
        p->Release();
    }
    array.reset();
    EXPECT_EQ(destroyed, 9);
}

TEST(ZSharedObjArray, CopyConstructionTakesReferencesButCopyDoesNot) {
    int destroyed = 0;
    ProbeArray array(4);
    Probe* a = new Probe(1, &destroyed);
    array.AddValue(a);
    array.AddValue(nullptr);
    a->Release();

    {
        ProbeArray copy(array);
        EXPECT_EQ(copy.GetNumItems(), 2u);
        EXPECT_EQ(copy.NthValue(0), a);
        EXPECT_EQ(a->GetReferenceCount(), 2);
    }
    EXPECT_EQ(a->GetReferenceCount(), 1);

    // Copy() makes a plain pointer array: no references taken, none released at its end.
    ZArray* copy = nullptr;
    ASSERT_EQ(array.Copy(&copy), 0);
    EXPECT_EQ(dynamic_cast<ZSharedObjArray*>(copy), nullptr);
    auto* pointers = dynamic_cast<ZGenericScalarArray<ZPtrArrayItem*>*>(copy);
    ASSERT_NE(pointers, nullptr);
    EXPECT_EQ(reinterpret_cast<ZSharedObject*>(pointers->NthValue(0)), a);
    EXPECT_EQ(a->GetReferenceCount(), 1);
    delete copy;
    EXPECT_EQ(a->GetReferenceCount(), 1);
    EXPECT_EQ(destroyed, 0);
}

TEST(ZSharedObjArray, FullLockedArrayTakesNoReference) {
    int destroyed = 0;
    ProbeArray array(1, kArrayFixedSlots);
    Probe* a = new Probe(1, &destroyed);
    ASSERT_EQ(array.AddValue(a), 0);
    EXPECT_EQ(array.AddValue(a), kArrayFullErr);
    ZSharedObject* item = a;
    EXPECT_EQ(array.AddItem(&item), kArrayFullErr);
    EXPECT_EQ(a->GetReferenceCount(), 2);
    a->Release();
}

// An element class whose ZSharedObject part is not at its start, as with classes that have
// another base first: the typed forms must still hand back the right address.
struct Payload {
    virtual ~Payload() = default;
    int mPayload = 42;
};
struct Mixed : Payload, ZSharedObject {
    explicit Mixed(int* destroyed) : mDestroyed(destroyed) {}
    ~Mixed() override { ++*mDestroyed; }
    int* mDestroyed;
};

TEST(ZSharedObjectArray, TypedFormsConvertToAndFromTheElementClass) {
    int destroyed = 0;
    ZSharedObjectArray<Mixed> array(2);
    Mixed* m = new Mixed(&destroyed);
    ASSERT_NE(static_cast<void*>(m), static_cast<void*>(static_cast<ZSharedObject*>(m)));
    array.AddValue(m);
    m->Release();
    EXPECT_EQ(array.NthValue(0), m);
    EXPECT_EQ(array.NthValue(0)->mPayload, 42);
    EXPECT_EQ(array.FindValue(m), 0u);
    ZSharedObjectArray<Mixed>::Iterator iterator(&array);
    EXPECT_EQ(iterator.NextValue(), m);
    EXPECT_EQ(iterator.NextValue(), nullptr);
    EXPECT_EQ(iterator.PreviousValue(), m);
    array.DeleteItem(0);
    EXPECT_EQ(destroyed, 1);
}

TEST(ZSharedObjectArray, IteratesSortsAndSearchesByElement) {
    int destroyed = 0;
    ProbeArray array(4);
    for (int id : {5, 3, 9, 1, 7}) {
        Probe* p = new Probe(id, &destroyed);
        array.AddValue(p);
        p->Release();
    }
    array.Sort([](Probe* a, Probe* b, void*) { return int32_t(a->mID - b->mID); }, nullptr);
    std::vector<int> ids;
    ProbeArray::Iterator iterator(&array);
    Probe* p = nullptr;
    while (iterator.Next(&p))
        ids.push_back(p->mID);
    EXPECT_EQ(ids, (std::vector<int>{1, 3, 5, 7, 9}));
    ASSERT_TRUE(iterator.Previous(&p));
    EXPECT_EQ(p->mID, 9);
    ZSharedObject** slot = nullptr;
    ASSERT_TRUE(iterator.PreviousPtr(&slot));
    EXPECT_EQ(*slot, array.NthValue(3));

    int wanted = 7;
    auto hasID = [](Probe* q, void* id) { return q->mID == *static_cast<int*>(id); };
    EXPECT_EQ(array.FindFirst(hasID, &wanted), 3u);
    EXPECT_EQ(array.FindLast(hasID, &wanted), 3u);
    wanted = 4;
    EXPECT_EQ(array.FindFirst(hasID, &wanted), kArrayNotFound);
    EXPECT_EQ(destroyed, 0);
}

// A container in the style of the task block: it owns its elements through the base, refuses
// an element already placed in a container, marks itself dirty and adds through the base's
// "Self" operations.
struct Task : ZSharedObject {
    explicit Task(int* destroyed) : mDestroyed(destroyed) {}
    ~Task() override { ++*mDestroyed; }
    int* mDestroyed;
    void* mArray = nullptr;
};

class TaskBlock : public ZSharedObjectArray<Task> {
public:
    TaskBlock() : ZSharedObjectArray<Task>(4, 0) {}

    int32_t AddValue(Task* task, uint32_t* whereAdded = nullptr) {
        if (task->mArray)
            return -790;
        task->mArray = this;
        mDirty = true;
        return AddValueSelf(task, whereAdded);
    }
    int32_t InsertValue(Task* task, uint32_t index) {
        if (task->mArray)
            return -790;
        task->mArray = this;
        mDirty = true;
        return InsertValueSelf(task, index);
    }
    void DeleteItem(uint32_t index) override {
        mDirty = true;
        ZSharedObjectArray<Task>::DeleteItem(index);
    }

    bool mDirty = false;
};

TEST(ZSharedObjectArray, SubclassAddsThroughTheBaseAndOverridesDelete) {
    int destroyed = 0;
    auto block = std::make_unique<TaskBlock>();
    Task* first = new Task(&destroyed);
    Task* second = new Task(&destroyed);
    uint32_t where = 99;
    ASSERT_EQ(block->AddValue(first, &where), 0);
    EXPECT_EQ(where, 0u);
    ASSERT_EQ(block->InsertValue(second, 0), 0);
    EXPECT_EQ(block->AddValue(first), -790);
    first->Release();
    second->Release();
    EXPECT_EQ(block->GetNumItems(), 2u);
    EXPECT_EQ(block->NthValue(0), second);
    EXPECT_EQ(first->GetReferenceCount(), 1);

    block->mDirty = false;
    ZArray* asArray = block.get();
    asArray->DeleteItem(block->FindValue(second)); // through the base: the override runs
    EXPECT_TRUE(block->mDirty);
    EXPECT_EQ(destroyed, 1);

    block.reset();
    EXPECT_EQ(destroyed, 2);
}

TEST(ZSharedObjectArray, MakeArrayGivesAnInitialisedArray) {
    ProbeArray* made = nullptr;
    ASSERT_EQ(ProbeArray::MakeArray(&made, 3), 0);
    std::unique_ptr<ProbeArray> owned(made);
    EXPECT_TRUE(made->IsInitialized());
    EXPECT_EQ(made->GetNumSlots(), 3u);
    EXPECT_EQ(made->GetItemSize(), sizeof(void*));
}

} // namespace
