#include "ZArraySort.h"
#include "ZGenericArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using IntArray = ZGenericScalarArray<int32_t>;

std::vector<int32_t> Values(const IntArray& array) {
    std::vector<int32_t> values;
    for (uint32_t i = 0; i < array.GetNumItems(); ++i)
        values.push_back(array.NthValue(i));
    return values;
}

struct Counter {
    long compares = 0;
};

int32_t CountingCompare(const void* a, const void* b, void* counter) {
    ++static_cast<Counter*>(counter)->compares;
    return ZArray::CompareLong(a, b, nullptr);
}

// Lengths on both sides of the 12-item limit between selection sort and quicksort, and input
// shapes that trouble quicksorts (sorted, reversed, all equal, few distinct values).
TEST(ZArraySort, SortsLikeStdSort) {
    std::mt19937 random(12345);
    const std::vector<uint32_t> lengths = {0, 1, 2, 3, 11, 12, 13, 14, 25, 100, 1000};
    for (uint32_t length : lengths) {
        for (int shape = 0; shape < 6; ++shape) {
            SCOPED_TRACE(testing::Message() << "length " << length << " shape " << shape);
            std::vector<int32_t> input(length);
            for (uint32_t i = 0; i < length; ++i) {
                switch (shape) {
                case 0:
                    input[i] = int32_t(random());
                    break;
                case 1:
                    input[i] = int32_t(i);
                    break;
                case 2:
                    input[i] = int32_t(length - i);
                    break;
                case 3:
                    input[i] = 7;
                    break;
                case 4:
                    input[i] = int32_t(random() % 3);
                    break;
                default:
                    input[i] = int32_t(i < length / 2 ? i : length - i);
                    break; // organ pipe
                }
            }
            IntArray array(8);
            for (int32_t v : input)
                ASSERT_EQ(array.AddValue(v), 0);
            Counter counter;
            array.ZArray::Sort(CountingCompare, &counter);
            std::sort(input.begin(), input.end());
            EXPECT_EQ(Values(array), input);
            // Quadratic behaviour would take ~n*n/2 comparisons. The pivot rule keeps a first
            // item that is the largest, which makes descending input (shape 2) quadratic by
            // design; it is left out of the bound.
            if (length >= 1000 && shape != 2) {
                EXPECT_LT(counter.compares, 40L * length);
            }
        }
    }
}

// Equal keys with distinguishable payloads: every item survives the sort, in key order.
TEST(ZArraySort, KeepsEveryItemOfEqualKeys) {
    struct Entry {
        int16_t key;
        int16_t id;
    };
    for (uint32_t length : {10u, 40u}) {
        ZGenericArray<Entry> array(4);
        for (int16_t i = 0; i < int16_t(length); ++i) {
            Entry e{int16_t(i % 3), i};
            array.AddItem(&e);
        }
        array.Sort([](const Entry* a, const Entry* b, void*) { return int32_t(a->key - b->key); },
                   nullptr);
        std::vector<bool> seen(length);
        for (uint32_t i = 0; i < length; ++i) {
            if (i > 0) {
                EXPECT_LE(array[i - 1]->key, array[i]->key);
            }
            seen[array[i]->id] = true;
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), int(length));
    }
}

// Short ranges are finished by selection sort, where the first of equal smallest items wins;
// that fixes where equal items end up.
TEST(ZArraySort, ShortRangesFollowSelectionSortOrder) {
    struct Entry {
        int32_t key;
        int32_t id;
    };
    ZGenericArray<Entry> array(4);
    const Entry entries[] = {{2, 0}, {1, 1}, {2, 2}, {1, 3}, {0, 4}, {1, 5}};
    for (const Entry& e : entries)
        array.AddItem(&e);
    array.Sort([](const Entry* a, const Entry* b, void*) { return a->key - b->key; }, nullptr);
    std::vector<int32_t> ids;
    for (uint32_t i = 0; i < array.GetNumItems(); ++i)
        ids.push_back(array[i]->id);
    EXPECT_EQ(ids, (std::vector<int32_t>{4, 1, 3, 5, 0, 2}));
}

TEST(ZArraySort, PartialSortTouchesOnlyItsRange) {
    IntArray array(4);
    for (int32_t v : {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10})
        array.AddValue(v);
    array.ZArray::PartialSort(2, 15, ZArray::CompareLong, nullptr);
    EXPECT_EQ(Values(array), (std::vector<int32_t>{9, 8, -7, -6, -5, -4, -3, -2, -1, 0,
                                                   1, 2, 3,  4,  5,  6,  7,  -8, -9, -10}));
    // A range reaching past the items is cut at the last item.
    array.ZArray::PartialSort(16, 100, ZArray::CompareLong, nullptr);
    EXPECT_EQ(array.NthValue(16), -10);
    EXPECT_EQ(array.NthValue(19), 7);
    array.ZArray::PartialSort(20, 5, ZArray::CompareLong, nullptr); // empty range
}

// The pivot rule on the first, middle and last of three items [a b c]: which one ends up
// first.
TEST(ZArraySort, PivotRuleChoosesFromFirstMiddleLast) {
    struct Case {
        int32_t a, b, c;
        int32_t pivot;
    };
    const Case cases[] = {
        {1, 2, 3, 2}, // a < b < c: the middle
        {1, 3, 2, 1}, // a < b, b >= c, a <= c: a stays
        {2, 3, 1, 1}, // a < b, b >= c, a > c: the last
        {3, 1, 2, 3}, // a >= b, a >= c: a stays even when largest
        {2, 1, 3, 1}, // a >= b, a < c, b < c: the middle, which is the smallest here
        {2, 2, 3, 2}, // a >= b, a < c, b < c: the middle
        {1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << ' ' << c.b << ' ' << c.c);
        int32_t items[3] = {c.a, c.b, c.c};
        SortParms parms{reinterpret_cast<uint8_t*>(items), sizeof(int32_t), ZArray::CompareLong,
                        nullptr};
        find_pivot(parms, 0, 3);
        EXPECT_EQ(items[0], c.pivot);
        std::sort(items, items + 3);
        int32_t expected[3] = {c.a, c.b, c.c};
        std::sort(expected, expected + 3);
        EXPECT_TRUE(std::equal(items, items + 3, expected));
    }
}

} // namespace
