#include "ZSortedArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<int32_t> Items(const ZArray& array) {
    std::vector<int32_t> items(array.GetNumItems());
    for (uint32_t i = 0; i < array.GetNumItems(); ++i)
        array.GetIndItem(&items[i], i);
    return items;
}

ZSortedArray MakeSorted(std::initializer_list<int32_t> values, bool unique = false) {
    ZSortedArray array(sizeof(int32_t), ZArray::CompareLong, 0, unique, 4);
    for (int32_t v : values)
        EXPECT_EQ(array.AddItem(&v), 0);
    return array;
}

struct SearchCase {
    const char* name;
    std::vector<int32_t> items;
    int32_t key;
    FindChoice choice;
    bool found;
    uint32_t index;
};

class BSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(BSearch, FindsOrGivesTheInsertionIndex) {
    const SearchCase& c = GetParam();
    ZSortedArray array(sizeof(int32_t), ZArray::CompareLong, 0, false, 4);
    for (int32_t v : c.items)
        ASSERT_EQ(array.AddItem(&v), 0);
    array.SetFindChoice(c.choice);
    uint32_t index = 999;
    EXPECT_EQ(array.BSearch(&c.key, &index), c.found);
    EXPECT_EQ(index, c.index);
    EXPECT_EQ(array.BSearch(&c.key, nullptr), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BSearch,
    testing::Values(SearchCase{"first_of_run", {10, 20, 20, 20, 30}, 20, kFindFirst, true, 1},
                    SearchCase{"last_of_run", {10, 20, 20, 20, 30}, 20, kFindLast, true, 3},
                    SearchCase{"any_of_run", {10, 20, 20, 20, 30}, 20, kFindAny, true, 2},
                    SearchCase{"run_at_start", {20, 20, 20, 30}, 20, kFindFirst, true, 0},
                    SearchCase{"run_at_end", {10, 20, 20}, 20, kFindLast, true, 2},
                    SearchCase{"missing_inside", {10, 20, 20, 20, 30}, 25, kFindFirst, false, 4},
                    SearchCase{"missing_below", {10, 20, 30}, 5, kFindAny, false, 0},
                    SearchCase{"missing_above", {10, 20, 30}, 35, kFindLast, false, 3},
                    SearchCase{"empty", {}, 20, kFindFirst, false, 0}),
    [](const testing::TestParamInfo<SearchCase>& info) { return info.param.name; });

TEST(ZSortedArray, AddKeepsOrderAndPlacesEqualItemsByFindChoice) {
    ZSortedArray array = MakeSorted({30, 10, 20, 20, 20});
    EXPECT_EQ(Items(array), (std::vector<int32_t>{10, 20, 20, 20, 30}));

    array.SetFindChoice(kFindLast);
    int32_t value = 20;
    uint32_t where = 0;
    EXPECT_EQ(array.AddItem(&value, &where), 0);
    EXPECT_EQ(where, 4u);
    array.SetFindChoice(kFindFirst);
    EXPECT_EQ(array.AddItem(&value, &where), 0);
    EXPECT_EQ(where, 1u);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{10, 20, 20, 20, 20, 20, 30}));
}

TEST(ZSortedArray, UniqueArrayRefusesDuplicates) {
    ZSortedArray array = MakeSorted({10, 20, 30}, true);
    int32_t value = 20;
    uint32_t where = 99;
    EXPECT_EQ(array.AddItem(&value, &where), kArrayDuplicateItemErr);
    EXPECT_EQ(where, 1u); // the equal item's index, reported with the error
    value = 25;
    EXPECT_EQ(array.AddItem(&value, &where), 0);
    EXPECT_EQ(where, 2u);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{10, 20, 25, 30}));
}

// Items that compare equal on a key but carry other data: SearchAndGet returns the stored one.
struct Record {
    int32_t key;
    int32_t payload;
};

int32_t CompareKeys(const void* a, const void* b, void*) {
    return ZArray::CompareLong(&static_cast<const Record*>(a)->key,
                               &static_cast<const Record*>(b)->key, nullptr);
}

TEST(ZSortedArray, SearchAndGetCopiesTheStoredItem) {
    ZSortedArray array(sizeof(Record), CompareKeys, 0, true, 4);
    for (Record r : {Record{3, 300}, Record{1, 100}, Record{2, 200}})
        ASSERT_EQ(array.AddItem(&r), 0);
    Record probe{2, 0};
    uint32_t index = 99;
    EXPECT_TRUE(array.SearchAndGet(&probe, &index));
    EXPECT_EQ(probe.payload, 200);
    EXPECT_EQ(index, 1u);
    Record missing{5, -1};
    EXPECT_FALSE(array.SearchAndGet(&missing, &index));
    EXPECT_EQ(missing.payload, -1);
    EXPECT_EQ(index, 1u);
}

int32_t CompareDescending(const void* a, const void* b, void*) {
    return ZArray::CompareLong(b, a, nullptr);
}

// The user data is handed to the compare function: here it picks the direction.
int32_t CompareByRefCon(const void* a, const void* b, void* refCon) {
    return reinterpret_cast<intptr_t>(refCon) < 0 ? CompareDescending(a, b, nullptr)
                                                  : ZArray::CompareLong(a, b, nullptr);
}

TEST(ZSortedArray, ChangingTheOrderingResorts) {
    ZSortedArray array = MakeSorted({5, 1, 4, 2, 3, 9, 8, 7, 6, 10, 12, 11, 13, 14});
    array.SetSortFunc(CompareDescending);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    int32_t value = 0;
    uint32_t where = 99;
    EXPECT_EQ(array.AddItem(&value, &where), 0);
    EXPECT_EQ(where, 14u);

    array.SetSortFunc(CompareByRefCon);
    EXPECT_EQ(array.GetSortFunc(), CompareByRefCon);
    array.SetSortRefCon(1, false); // kept, but no re-sort asked
    EXPECT_EQ(array.GetSortRefCon(), 1);
    array.SetSortRefCon(-1, true);
    EXPECT_EQ(Items(array),
              (std::vector<int32_t>{14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
}

TEST(ZSortedArray, CopyKeepsTheOrdering) {
    ZSortedArray array = MakeSorted({3, 1, 2}, true);
    array.SetFindChoice(kFindLast);
    ZArray* copy = nullptr;
    ASSERT_EQ(array.Copy(&copy), 0);
    std::unique_ptr<ZArray> owned(copy);
    auto* sorted = dynamic_cast<ZSortedArray*>(copy);
    ASSERT_NE(sorted, nullptr);
    EXPECT_EQ(Items(*sorted), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(sorted->GetUnique());
    EXPECT_EQ(sorted->GetFindChoice(), kFindLast);
    int32_t value = 2;
    EXPECT_EQ(sorted->AddItem(&value), kArrayDuplicateItemErr);

    ZSortedArray* made = nullptr;
    ASSERT_EQ(ZSortedArray::MakeArray(&made, sizeof(int32_t), ZArray::CompareLong, 0, false, 2), 0);
    std::unique_ptr<ZSortedArray> ownedMade(made);
    EXPECT_EQ(made->InitArray(sizeof(int32_t), CompareDescending, 0, true, 2),
              kArrayAlreadyInitializedErr);
    EXPECT_EQ(made->GetSortFunc(), ZArray::CompareLong);
    EXPECT_FALSE(made->GetUnique());
}

} // namespace
