#include "ZGenericArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using IntArray = ZGenericScalarArray<int32_t>;

std::unique_ptr<IntArray> MakeFive() {
    auto array = std::make_unique<IntArray>(4);
    for (int32_t v : {10, 11, 12, 13, 14})
        array->AddValue(v);
    return array;
}

// An iterator at position 2 of [10 11 12 13 14] keeps returning the same next item (or, when
// that item itself goes, the one after it).
struct EditCase {
    const char* name;
    bool insert;
    uint32_t index;
    uint32_t position;
    int32_t next;
};

class IteratorAfterEdit : public testing::TestWithParam<EditCase> {};

TEST_P(IteratorAfterEdit, KeepsItsNextItem) {
    const EditCase& c = GetParam();
    auto array = MakeFive();
    IntArray::Iterator iterator(array.get(), 2);
    if (c.insert)
        ASSERT_EQ(array->InsertValue(99, c.index), 0);
    else
        array->DeleteItem(c.index);
    EXPECT_EQ(iterator.GetPosition(), c.position);
    int32_t value = 0;
    ASSERT_TRUE(iterator.Next(&value));
    EXPECT_EQ(value, c.next);
}

INSTANTIATE_TEST_SUITE_P(Edits, IteratorAfterEdit,
                         testing::Values(EditCase{"insert_before", true, 0, 3, 12},
                                         EditCase{"insert_at", true, 2, 2, 99},
                                         EditCase{"insert_after", true, 4, 2, 12},
                                         EditCase{"delete_before", false, 1, 1, 12},
                                         EditCase{"delete_at", false, 2, 2, 13},
                                         EditCase{"delete_after", false, 3, 2, 12}),
                         [](const testing::TestParamInfo<EditCase>& info) {
                             return info.param.name;
                         });

TEST(ZArrayIterator, WalksBothWays) {
    auto array = MakeFive();
    IntArray::Iterator iterator(array.get());
    EXPECT_TRUE(iterator.AtBeginning());
    std::vector<int32_t> forward;
    int32_t value;
    while (iterator.Next(&value))
        forward.push_back(value);
    EXPECT_EQ(forward, (std::vector<int32_t>{10, 11, 12, 13, 14}));
    EXPECT_TRUE(iterator.AtEnd());

    int32_t* slot = nullptr;
    ASSERT_TRUE(iterator.PreviousPtr(&slot));
    EXPECT_EQ(slot, array->GetItemPtr(4));
    *slot = 40; // the slot itself, not a copy
    ASSERT_TRUE(iterator.Previous(&value));
    EXPECT_EQ(value, 13);
    ASSERT_TRUE(iterator.NextPtr(&slot));
    EXPECT_EQ(*slot, 13);
    EXPECT_EQ(array->NthValue(4), 40);

    iterator.MoveTo(0);
    EXPECT_FALSE(iterator.Previous(&value));
    iterator.MoveTo(77); // clamped to the end
    EXPECT_EQ(iterator.GetPosition(), 5u);
    EXPECT_FALSE(iterator.Next(&value));
}

TEST(ZArrayIterator, StartIsClampedAndUninitialisedArraysDetach) {
    auto array = MakeFive();
    IntArray::Iterator late(array.get(), 9);
    EXPECT_EQ(late.GetPosition(), 5u);

    IntArray uninitialised;
    IntArray::Iterator detached(&uninitialised, 0);
    EXPECT_EQ(detached.GetArray(), nullptr);
    EXPECT_TRUE(detached.AtBeginning());
    EXPECT_TRUE(detached.AtEnd());
}

TEST(ZArrayIterator, DestroyingTheArrayDetachesItsIterators) {
    auto array = MakeFive();
    IntArray::Iterator first(array.get(), 1);
    IntArray::Iterator second(array.get(), 3);
    IntArray::Iterator copy(second);
    array.reset();
    for (IntArray::Iterator* iterator : {&first, &second, &copy}) {
        EXPECT_EQ(iterator->GetArray(), nullptr);
        EXPECT_EQ(iterator->GetPosition(), 0u);
        EXPECT_TRUE(iterator->AtEnd());
        EXPECT_TRUE(iterator->AtBeginning());
        int32_t value;
        EXPECT_FALSE(iterator->Next(&value));
        EXPECT_FALSE(iterator->Previous(&value));
        iterator->MoveTo(2);
        EXPECT_EQ(iterator->GetPosition(), 0u);
    }
    // Destroying detached iterators afterwards must not touch the freed array (ASan checks).
}

TEST(ZArrayIterator, IteratorsLeaveTheArrayInAnyOrder) {
    auto array = MakeFive();
    auto a = std::make_unique<IntArray::Iterator>(array.get(), 1);
    auto b = std::make_unique<IntArray::Iterator>(array.get(), 2);
    auto c = std::make_unique<IntArray::Iterator>(array.get(), 3);
    b.reset(); // from the middle of the list
    array->InsertValue(5, 0);
    EXPECT_EQ(a->GetPosition(), 2u);
    EXPECT_EQ(c->GetPosition(), 4u);
    c->RemoveFromArray();
    EXPECT_EQ(c->GetArray(), nullptr);
    array->InsertValue(6, 0);
    EXPECT_EQ(a->GetPosition(), 3u);
    EXPECT_EQ(c->GetPosition(), 0u);

    IntArray::Iterator assigned;
    assigned = *a;
    array->DeleteItem(0);
    EXPECT_EQ(assigned.GetPosition(), 2u);
    EXPECT_EQ(a->GetPosition(), 2u);
}

TEST(ZArrayIterator, RemoveAllItemsRewindsButKeepsIterators) {
    auto array = MakeFive();
    IntArray::Iterator iterator(array.get(), 4);
    array->RemoveAllItems();
    EXPECT_EQ(iterator.GetArray(), array.get());
    EXPECT_EQ(iterator.GetPosition(), 0u);
    EXPECT_TRUE(iterator.AtEnd());
    array->AddValue(1);
    int32_t value = 0;
    EXPECT_TRUE(iterator.Next(&value));
    EXPECT_EQ(value, 1);
}

} // namespace
