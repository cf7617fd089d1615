#include "ZPtrArray.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ZGenericScalarArray, ValuesByIndex) {
    ZGenericScalarArray<int64_t> array(2);
    uint32_t where = 99;
    ASSERT_EQ(array.AddValue(-5, &where), 0);
    EXPECT_EQ(where, 0u);
    ASSERT_EQ(array.AddValue(int64_t(1) << 40), 0);
    ASSERT_EQ(array.InsertValue(7, 1), 0);
    EXPECT_EQ(array.InsertValue(8, 4), kArrayIndexOutOfRangeErr);
    EXPECT_EQ(array.NthValue(0), -5);
    EXPECT_EQ(array.NthValue(1), 7);
    EXPECT_EQ(array.NthValue(2), int64_t(1) << 40);
    EXPECT_EQ(array.NthValue(3), 0); // no such item
    EXPECT_EQ(array.FindValue(7), 1u);
    EXPECT_EQ(array.FindValue(8), kArrayNotFound);
    array.SetNthValue(9, 1);
    array.SetNthValue(9, 3); // no such item: nothing
    EXPECT_EQ(array.GetNumItems(), 3u);
    EXPECT_EQ(array.NthValue(1), 9);

    ZGenericScalarArray<int64_t> uninitialised;
    EXPECT_EQ(uninitialised.NthValue(0), 0);
    EXPECT_EQ(uninitialised.FindValue(0), kArrayNotFound);
    EXPECT_EQ(uninitialised.AddValue(1), kArrayNotInitializedErr);
    EXPECT_EQ(uninitialised.InitArray(2), 0);
    EXPECT_EQ(uninitialised.GetItemSize(), sizeof(int64_t));
}

struct Point {
    int32_t x, y;
};

TEST(ZGenericArray, TypedItemsAndMakeArray) {
    ZGenericArray<Point>* made = nullptr;
    ASSERT_EQ(ZGenericArray<Point>::MakeArray(&made, 2), 0);
    std::unique_ptr<ZGenericArray<Point>> array(made);
    for (int32_t i = 0; i < 3; ++i) {
        Point p{i, -i};
        ASSERT_EQ(array->AddItem(&p), 0);
    }
    Point p{};
    EXPECT_TRUE(array->GetIndItem(&p, 2));
    EXPECT_EQ(p.y, -2);
    (*array)[1]->x = 10;
    EXPECT_EQ(array->GetItemPtr(1)->x, 10);
    array->Sort([](const Point* a, const Point* b, void*) { return b->x - a->x; }, nullptr);
    EXPECT_EQ(array->GetItemPtr(0)->x, 10);
    ZGenericArray<Point>::Iterator iterator(array.get(), 1);
    Point* slot = nullptr;
    ASSERT_TRUE(iterator.NextPtr(&slot));
    EXPECT_EQ(slot, array->GetItemPtr(1));
}

// Pointer items are native pointers, stored and handed back unchanged.
TEST(ZGenericPtrArray, StoresNativePointers) {
    static_assert(sizeof(ZPtrArrayItem*) == sizeof(void*));
    int values[3] = {1, 2, 3};
    ZGenericPtrArray<int> array(2);
    EXPECT_EQ(array.GetItemSize(), sizeof(void*));
    for (int& v : values)
        ASSERT_EQ(array.AddValue(&v), 0);
    ASSERT_EQ(array.AddValue(nullptr), 0);
    EXPECT_EQ(array.NthValue(1), &values[1]);
    EXPECT_EQ(array.FindValue(&values[2]), 2u);
    EXPECT_EQ(array.FindValue(nullptr), 3u);
    int* out = nullptr;
    EXPECT_TRUE(array.GetIndItem(&out, 0));
    EXPECT_EQ(out, &values[0]);

    ZGenericPtrArray<int>::Iterator iterator(&array);
    EXPECT_EQ(iterator.NextValue(), &values[0]);
    int** slot = nullptr;
    ASSERT_TRUE(iterator.NextPtr(&slot));
    EXPECT_EQ(*slot, &values[1]);
    EXPECT_EQ(iterator.NextValue(), &values[2]);
    EXPECT_EQ(iterator.NextValue(), nullptr); // the stored null
    EXPECT_TRUE(iterator.AtEnd());
    EXPECT_EQ(iterator.NextValue(), nullptr);
    EXPECT_EQ(iterator.PreviousValue(), nullptr);
    EXPECT_EQ(iterator.PreviousValue(), &values[2]);

    array.DeleteItem(3);
    array.Sort([](int* a, int* b, void*) { return *b - *a; }, nullptr);
    EXPECT_EQ(*array.NthValue(0), 3);
    auto isTwo = [](int* v, void*) { return *v == 2; };
    EXPECT_EQ(array.FindFirst(isTwo, nullptr), 1u);
}

} // namespace
