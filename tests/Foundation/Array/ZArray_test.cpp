#include "ZArray.h"
#include "ZGenericArray.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

// The out-of-memory tests ask for blocks no machine can give; under AddressSanitizer such a
// request must fail like malloc does rather than abort the test.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

std::vector<int32_t> Items(const ZArray& array) {
    std::vector<int32_t> items(array.GetNumItems());
    for (uint32_t i = 0; i < array.GetNumItems(); ++i)
        array.GetIndItem(&items[i], i);
    return items;
}

void AddAll(ZArray& array, std::initializer_list<int32_t> values) {
    for (int32_t value : values)
        ASSERT_EQ(array.AddItem(&value), 0);
}

TEST(ZArray, UninitialisedArrayRefusesWork) {
    ZArray array;
    int32_t value = 7;
    uint32_t where = 99;
    EXPECT_FALSE(array.IsInitialized());
    EXPECT_EQ(array.AddItem(&value, &where), kArrayNotInitializedErr);
    EXPECT_EQ(where, 99u);
    EXPECT_EQ(array.InsertItem(&value, 0), kArrayNotInitializedErr);
    EXPECT_EQ(array.MoveItemToIndex(0, 1), kArrayNotInitializedErr);
    EXPECT_EQ(array.GetItemPtr(0), nullptr);
    EXPECT_FALSE(array.GetIndItem(&value, 0));
    ZArray* copy = reinterpret_cast<ZArray*>(1);
    EXPECT_EQ(array.Copy(&copy), kArrayNotInitializedErr);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(array.SetLocked(kArrayLocked), kArrayUnlocked);
    EXPECT_FALSE(array.IsLocked());
    array.DeleteItem(0);
    array.RemoveAllItems();
    array.Compact();
    EXPECT_EQ(array.GetNumItems(), 0u);

    EXPECT_EQ(array.InitArray(sizeof(int32_t), 4, 0), 0);
    EXPECT_EQ(array.InitArray(sizeof(int32_t), 4, 0), kArrayAlreadyInitializedErr);
    EXPECT_EQ(array.AddItem(&value, &where), 0);
    EXPECT_EQ(where, 0u);
}

TEST(ZArray, InitKeepsFlagsButTheTransientOne) {
    ZArray array(8, 3, kArrayTransientAllocFlag | 0x1);
    EXPECT_EQ(array.GetNumSlots(), 3u);
    EXPECT_EQ(array.GetItemSize(), 8u);
    EXPECT_EQ(array.GetAllocFlags(), 0x1u);
    EXPECT_FALSE(array.IsLocked());
    ZArray fixed(8, 3, kArrayFixedSlots);
    EXPECT_TRUE(fixed.IsLocked());
}

TEST(ZArray, GrowsAndShrinksByWholeClumps) {
    ZArray array(sizeof(int32_t), 4, 0);
    EXPECT_EQ(array.GetNumSlots(), 4u);
    AddAll(array, {1, 2, 3, 4, 5});
    EXPECT_EQ(array.GetNumSlots(), 8u);

    array.DeleteItem(0); // 4 items: exactly one clump unused, kept
    EXPECT_EQ(array.GetNumSlots(), 8u);
    array.DeleteItem(0); // 3 items: more than a clump unused
    EXPECT_EQ(array.GetNumSlots(), 4u);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{3, 4, 5}));

    AddAll(array, {6, 7, 8, 9, 10, 11, 12, 13, 14});
    EXPECT_EQ(array.GetNumSlots(), 12u);
    array.RemoveAllItems();
    EXPECT_EQ(array.GetNumItems(), 0u);
    EXPECT_EQ(array.GetNumSlots(), 4u);

    AddAll(array, {1, 2});
    array.Compact();
    EXPECT_EQ(array.GetNumSlots(), 2u);
    array.RemoveAllItems();
    array.Compact(); // never below one slot
    EXPECT_EQ(array.GetNumSlots(), 1u);
    AddAll(array, {9});
    EXPECT_EQ(Items(array), (std::vector<int32_t>{9}));
}

TEST(ZArray, InsertsAndDeletesAnywhere) {
    ZArray array(sizeof(int32_t), 2, 0);
    AddAll(array, {10, 30});
    int32_t value = 20;
    EXPECT_EQ(array.InsertItem(&value, 1), 0);
    value = 0;
    EXPECT_EQ(array.InsertItem(&value, 0), 0);
    value = 40;
    EXPECT_EQ(array.InsertItem(&value, 4), 0); // at the end
    EXPECT_EQ(array.InsertItem(&value, 6), kArrayIndexOutOfRangeErr);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{0, 10, 20, 30, 40}));

    array.DeleteItem(4);
    array.DeleteItem(0);
    array.DeleteItem(9); // no such item: ignored
    EXPECT_EQ(Items(array), (std::vector<int32_t>{10, 20, 30}));

    value = 25;
    array.SetIndItem(&value, 1);
    array.SetIndItem(&value, 3); // beyond the items: ignored
    EXPECT_EQ(Items(array), (std::vector<int32_t>{10, 25, 30}));
    EXPECT_EQ(array.GetNumItems(), 3u);
}

TEST(ZArray, ZeroClumpStillGrows) {
    ZArray array(sizeof(int32_t), 0, 0);
    ASSERT_TRUE(array.IsInitialized());
    AddAll(array, {1, 2, 3});
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 2, 3}));
    array.RemoveAllItems();
    AddAll(array, {4});
    EXPECT_EQ(Items(array), (std::vector<int32_t>{4}));
}

// A locked or fixed array never changes its slot count, so a full one must refuse an
// insertion instead of writing past its last slot.
TEST(ZArray, FullLockedOrFixedArrayRefusesInsertion) {
    struct Case {
        const char* name;
        uint32_t allocFlags;
        bool lockAfterwards;
    };
    for (const Case& c : {Case{"locked", 0, true}, Case{"fixed", kArrayFixedSlots, false}}) {
        SCOPED_TRACE(c.name);
        ZArray array(sizeof(int32_t), 3, c.allocFlags);
        if (c.lockAfterwards) {
            EXPECT_EQ(array.SetLocked(kArrayLocked), kArrayUnlocked);
        }
        AddAll(array, {1, 2, 3});
        int32_t value = 4;
        uint32_t where = 99;
        EXPECT_EQ(array.AddItem(&value, &where), kArrayFullErr);
        EXPECT_EQ(where, 99u);
        EXPECT_EQ(array.InsertItem(&value, 0), kArrayFullErr);
        EXPECT_EQ(array.GetNumSlots(), 3u);
        EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 2, 3}));

        // Deleting does not shrink a locked array either, and frees a slot for one insertion.
        array.DeleteItem(0);
        array.RemoveAllItems();
        EXPECT_EQ(array.GetNumSlots(), 3u);
        AddAll(array, {7});
        EXPECT_EQ(Items(array), (std::vector<int32_t>{7}));
    }
}

TEST(ZArray, FixedArrayCannotBeUnlocked) {
    ZArray fixed(sizeof(int32_t), 2, kArrayFixedSlots);
    EXPECT_EQ(fixed.SetLocked(kArrayUnlocked), kArrayLocked);
    EXPECT_TRUE(fixed.IsLocked());

    ZArray array(sizeof(int32_t), 2, 0);
    array.SetLocked(kArrayLocked);
    AddAll(array, {1, 2});
    EXPECT_EQ(array.SetLocked(kArrayUnlocked), kArrayLocked);
    AddAll(array, {3}); // unlocked again: grows
    EXPECT_EQ(array.GetNumSlots(), 4u);
}

TEST(ZArray, SetNumSlotsKeepsItemsInUse) {
    ZArray array(sizeof(int32_t), 4, 0);
    AddAll(array, {1, 2, 3});
    EXPECT_EQ(array.SetNumSlots(2), kArrayIndexOutOfRangeErr);
    EXPECT_EQ(array.SetNumSlots(3), 0);
    EXPECT_EQ(array.GetNumSlots(), 3u);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 2, 3}));
}

TEST(ZArray, AllocationFailureLeavesTheArrayUnchanged) {
    ZArray* made = reinterpret_cast<ZArray*>(1);
    EXPECT_EQ(ZArray::MakeArray(&made, 1u << 20, 1u << 30, 0), kQorOutOfMemoryErr);
    EXPECT_EQ(made, nullptr);

    ZArray huge(1u << 20, 1u << 30, 0);
    EXPECT_FALSE(huge.IsInitialized());

    ZArray array(1u << 20, 1, 0);
    ASSERT_TRUE(array.IsInitialized());
    std::vector<uint8_t> item(1u << 20, 0xAB);
    ASSERT_EQ(array.AddItem(item.data()), 0);
    array.SetClumpSize(1u << 30);
    EXPECT_EQ(array.AddItem(item.data()), kQorOutOfMemoryErr);
    EXPECT_EQ(array.GetNumItems(), 1u);
    EXPECT_EQ(array.GetNumSlots(), 1u);
    EXPECT_EQ(static_cast<uint8_t*>(array.GetItemPtr(0))[12345], 0xAB);

    array.SetClumpSize(UINT32_MAX); // the slot count itself would overflow
    EXPECT_EQ(array.AddItem(item.data()), kQorOutOfMemoryErr);
    EXPECT_EQ(array.GetNumItems(), 1u);
}

TEST(ZArray, CopiesItemsAndSettingsButNotIterators) {
    ZArray array(sizeof(int32_t), 4, 0x1);
    AddAll(array, {5, 6, 7, 8, 9});
    array.SetLocked(kArrayLocked);
    ZArray::Iterator iterator(&array, 2);

    ZArray* copy = nullptr;
    ASSERT_EQ(array.Copy(&copy), 0);
    std::unique_ptr<ZArray> owned(copy);
    EXPECT_EQ(Items(*copy), Items(array));
    EXPECT_EQ(copy->GetNumSlots(), 8u);
    EXPECT_EQ(copy->GetClumpSize(), 4u);
    EXPECT_EQ(copy->GetAllocFlags(), 0x1u);
    EXPECT_TRUE(copy->IsLocked());

    // The copy's items are its own, and the original's iterator does not follow it.
    copy->SetLocked(kArrayUnlocked);
    int32_t value = 1;
    copy->InsertItem(&value, 0);
    EXPECT_EQ(iterator.GetPosition(), 2u);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{5, 6, 7, 8, 9}));

    ZArray constructed(array);
    EXPECT_EQ(Items(constructed), Items(array));

    ZArray initialised(sizeof(int32_t), 2, 0);
    EXPECT_EQ(array.CopySelf(initialised), kArrayAlreadyInitializedErr);
}

TEST(ZArray, ScalarCopyIsOfTheScalarClass) {
    ZGenericScalarArray<int16_t> array(2);
    array.AddValue(3);
    array.AddValue(-4);
    ZArray* copy = nullptr;
    ASSERT_EQ(array.Copy(&copy), 0);
    std::unique_ptr<ZArray> owned(copy);
    auto* scalar = dynamic_cast<ZGenericScalarArray<int16_t>*>(copy);
    ASSERT_NE(scalar, nullptr);
    EXPECT_EQ(scalar->NthValue(1), -4);
}

// Moving an item needs a scratch copy: a local buffer for small items, the first free slot or
// a heap block for large ones. Each way must give the same result.
struct MoveCase {
    const char* name;
    uint32_t itemSize;
    uint32_t clumpSize;
    uint32_t from;
    uint32_t to;
    std::vector<int> expected;
};

class MoveItemToIndex : public testing::TestWithParam<MoveCase> {};

TEST_P(MoveItemToIndex, MovesOneItemAndShiftsTheOthers) {
    const MoveCase& c = GetParam();
    ZArray array(c.itemSize, c.clumpSize, 0);
    std::vector<uint8_t> item(c.itemSize);
    for (int i = 0; i < 5; ++i) {
        std::memset(item.data(), 'a' + i, item.size());
        ASSERT_EQ(array.AddItem(item.data()), 0);
    }
    ZArray::Iterator iterator(&array, 3);
    EXPECT_EQ(array.MoveItemToIndex(c.from, c.to), 0);
    std::vector<int> order;
    for (uint32_t i = 0; i < array.GetNumItems(); ++i) {
        auto* slot = static_cast<uint8_t*>(array.GetItemPtr(i));
        for (uint32_t b = 1; b < c.itemSize; ++b)
            ASSERT_EQ(slot[b], slot[0]) << "item " << i << " torn";
        order.push_back(slot[0] - 'a');
    }
    EXPECT_EQ(order, c.expected);
    EXPECT_EQ(iterator.GetPosition(), 3u); // iterators are not told
    EXPECT_EQ(array.GetNumItems(), 5u);
}

INSTANTIATE_TEST_SUITE_P(
    ScratchKinds, MoveItemToIndex,
    testing::Values(MoveCase{"small_forward", 4, 8, 0, 3, {1, 2, 3, 0, 4}},
                    MoveCase{"small_backward", 16, 8, 4, 1, {0, 4, 1, 2, 3}},
                    MoveCase{"odd_size", 3, 8, 1, 4, {0, 2, 3, 4, 1}},
                    MoveCase{"large_spare_slot", 40, 8, 0, 4, {1, 2, 3, 4, 0}},
                    MoveCase{"large_spare_slot_backward", 40, 8, 3, 0, {3, 0, 1, 2, 4}},
                    MoveCase{"large_no_spare_slot", 40, 5, 0, 4, {1, 2, 3, 4, 0}},
                    MoveCase{"large_no_spare_slot_backward", 40, 5, 4, 2, {0, 1, 4, 2, 3}},
                    MoveCase{"same_index", 40, 5, 2, 2, {0, 1, 2, 3, 4}}),
    [](const testing::TestParamInfo<MoveCase>& info) { return info.param.name; });

// An array whose swap block cannot be had.
class NoSwapTempArray : public ZArray {
public:
    using ZArray::ZArray;
    int releases = 0;

protected:
    int32_t GetSwapTemp(void** tempSpace) override {
        *tempSpace = nullptr;
        return kQorOutOfMemoryErr;
    }
    int32_t ReleaseSwapTemp(void** tempSpace) override {
        ++releases;
        return ZArray::ReleaseSwapTemp(tempSpace);
    }
};

TEST(ZArray, MoveWithoutScratchSpaceMovesNothing) {
    NoSwapTempArray array(32, 2, 0);
    std::array<uint8_t, 32> item{};
    item.fill(1);
    array.AddItem(item.data());
    item.fill(2);
    array.AddItem(item.data());
    EXPECT_EQ(array.MoveItemToIndex(0, 1), kQorOutOfMemoryErr);
    EXPECT_EQ(static_cast<uint8_t*>(array.GetItemPtr(0))[0], 1);
    EXPECT_EQ(static_cast<uint8_t*>(array.GetItemPtr(1))[31], 2);
    EXPECT_EQ(array.releases, 0);
    EXPECT_EQ(array.MoveItemToIndex(0, 2), kArrayIndexOutOfRangeErr);
}

TEST(ZArray, SwapItemsExchangesWholeItemsOfAnySize) {
    for (uint32_t size : {1u, 2u, 3u, 4u, 6u, 8u, 12u, 30u}) {
        SCOPED_TRACE(size);
        ZArray array(size, 2, 0);
        std::vector<uint8_t> a(size), b(size);
        for (uint32_t i = 0; i < size; ++i) {
            a[i] = uint8_t(i + 1);
            b[i] = uint8_t(100 + i);
        }
        array.AddItem(a.data());
        array.AddItem(b.data());
        array.SwapItems(0, 1);
        EXPECT_EQ(std::memcmp(array.GetItemPtr(0), b.data(), size), 0);
        EXPECT_EQ(std::memcmp(array.GetItemPtr(1), a.data(), size), 0);
        array.SwapItems(1, 2); // no item 2: ignored
        EXPECT_EQ(std::memcmp(array.GetItemPtr(1), a.data(), size), 0);
    }
}

bool IsEven(const void* item, void*) {
    return *static_cast<const int32_t*>(item) % 2 == 0;
}

TEST(ZArray, FindsFirstAndLastMatch) {
    ZArray array(sizeof(int32_t), 4, 0);
    EXPECT_EQ(array.FindFirst(IsEven, nullptr), kArrayNotFound);
    AddAll(array, {1, 4, 5, 6, 7});
    EXPECT_EQ(array.FindFirst(IsEven, nullptr), 1u);
    EXPECT_EQ(array.FindLast(IsEven, nullptr), 3u);
    array.DeleteItem(1);
    array.DeleteItem(2);
    EXPECT_EQ(array.FindFirst(IsEven, nullptr), kArrayNotFound);
    EXPECT_EQ(array.FindLast(IsEven, nullptr), kArrayNotFound);

    ZGenericArray<int32_t> typed(4);
    for (int32_t v : {3, 8, 9})
        typed.AddItem(&v);
    auto above = [](const int32_t* item, void* limit) { return *item > *(int32_t*)limit; };
    int32_t limit = 5;
    EXPECT_EQ(typed.FindFirst(above, &limit), 1u);
    EXPECT_EQ(typed.FindLast(above, &limit), 2u);
}

TEST(ZArray, CompareHelpersOrderTheirItems) {
    struct Case {
        ZCompareFunction compare;
        int64_t a, b;
        int sign;
    };
    const Case cases[] = {
        {ZArray::CompareLong, 3, 5, -1},
        {ZArray::CompareLong, 5, 5, 0},
        {ZArray::CompareLong, -1, -7, 1},
        {ZArray::CompareLong, INT32_MIN, 1, -1}, // difference beyond 32 bits
        {ZArray::CompareLong, INT32_MAX, -1, 1},
        {ZArray::CompareULong, 0xFFFFFFFF, 1, 1},
        {ZArray::CompareULong, 1, 0x80000000, -1},
        {ZArray::CompareULong, 9, 9, 0},
        {ZArray::CompareShort, -32768, 32767, -1},
        {ZArray::CompareShort, 2, -2, 1},
        {ZArray::CompareUShort, 65535, 0, 1},
        {ZArray::CompareUShort, 7, 7, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " vs " << c.b);
        int32_t result;
        if (c.compare == ZArray::CompareShort || c.compare == ZArray::CompareUShort) {
            uint16_t a = uint16_t(c.a), b = uint16_t(c.b);
            result = c.compare(&a, &b, nullptr);
        } else {
            uint32_t a = uint32_t(c.a), b = uint32_t(c.b);
            result = c.compare(&a, &b, nullptr);
        }
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
    }
    int32_t a = 10, b = 3;
    EXPECT_EQ(ZArray::CompareLong(&a, &b, nullptr), 7);
    int16_t s = -3, t = 4;
    EXPECT_EQ(ZArray::CompareShort(&s, &t, nullptr), -7);
}

} // namespace
