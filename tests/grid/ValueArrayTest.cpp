#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

#include "grid/Example.h"
#include "grid/ValueArray.h"

namespace quorin {
namespace {

// Copies are deep and moves leave the source empty, whether the values are inline or on the heap.
TEST(ValueArrayTest, CopiesAreDeepAndMovesTransfer) {
    for (std::size_t n : {0u, 1u, 2u, 3u, 50u}) {
        CValueArray a;
        for (std::size_t i = 0; i < n; ++i) a.push_back(static_cast<double>(i) + 0.5);
        CValueArray b = a;
        EXPECT_EQ(b, a);
        if (n > 0) {
            b[0] = -1.0;
            EXPECT_EQ(a[0], 0.5) << n;
        }
        CValueArray c = std::move(b);
        EXPECT_TRUE(b.empty());
        EXPECT_EQ(c.size(), n);
        b = c;  // a moved-from array is reusable
        EXPECT_EQ(b, c);
        c = std::move(a);
        EXPECT_EQ(c.size(), n);
        CValueArray& self = c;
        c = self;
        EXPECT_EQ(c.size(), n);
    }
}

// Growing and shrinking across the inline capacity keeps every value in place.
TEST(ValueArrayTest, EditsAcrossInlineCapacityKeepValues) {
    CValueArray a{1.0, 2.0};
    a.insert(a.begin() + 1, 1.5);
    EXPECT_EQ(a, (std::vector<double>{1.0, 1.5, 2.0}));
    a.insert(a.end(), 3.0);
    a.insert(a.begin(), 0.0);
    EXPECT_EQ(a, (std::vector<double>{0.0, 1.0, 1.5, 2.0, 3.0}));
    a.erase(a.begin() + 2);
    a.erase(a.begin(), a.begin() + 2);
    EXPECT_EQ(a, (std::vector<double>{2.0, 3.0}));
    a.resize(5, 9.0);
    EXPECT_EQ(a, (std::vector<double>{2.0, 3.0, 9.0, 9.0, 9.0}));
    a.resize(1);
    a.pop_back();
    EXPECT_TRUE(a.empty());
    a.assign(4, 0.25);
    EXPECT_EQ(a, (std::vector<double>(4, 0.25)));
    std::vector<double> v{7.0, 8.0, 9.0};
    a.assign(v.begin(), v.end());
    EXPECT_EQ(a.back(), 9.0);
    EXPECT_EQ(a.ToVector(), v);
}

// Arrays grown one value at a time pass from inside the object through the shared blocks to
// the heap and back; rows cut on one thread may be freed on another.
TEST(ValueArrayTest, GrowingAcrossEveryPlaceKeepsValues) {
    std::vector<CValueArray> rows(300);
    for (std::size_t n = 0; n < rows.size(); ++n) {
        for (std::size_t i = 0; i < n; ++i) rows[n].push_back(static_cast<double>(n * 1000 + i));
        rows[n].insert(rows[n].begin(), -1.0);
    }
    std::vector<CValueArray> copies = rows;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        ASSERT_EQ(rows[n].size(), n + 1);
        for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(rows[n][i + 1], static_cast<double>(n * 1000 + i));
        rows[n].erase(rows[n].begin());
        rows[n].resize(n / 2);
        rows[n].resize(n, 7.0);
        if (n > 1) {
            EXPECT_EQ(rows[n].front(), static_cast<double>(n * 1000));
            EXPECT_EQ(rows[n].back(), 7.0);
        }
    }
    std::thread([&copies] {
        for (std::size_t n = 0; n < copies.size(); ++n) EXPECT_EQ(copies[n].size(), n + 1);
        copies.clear();
    }).join();
    rows.clear();
    CValueArray last(5, 2.5);
    EXPECT_EQ(last, std::vector<double>(5, 2.5));
}

// A row of two values needs no heap block; rows stay small whatever their values.
TEST(ValueArrayTest, NarrowRowsStayCompact) {
    static_assert(sizeof(CExample) <= 64);
    CExample ex;
    ex.Values = {1.0, 2.0};
    ex.NormalisedValues = {0.0, 1.0};
    const double* inside = reinterpret_cast<const double*>(&ex.Values);
    EXPECT_EQ(ex.Values.data(), inside);
    std::vector<CExample> rows(3, ex);
    EXPECT_EQ(rows[2].NormalisedValues, ex.NormalisedValues);
}

}  // namespace
}  // namespace quorin
