#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

#include "grid/Example.h"
#include "grid/RowCells.h"
#include "support/Rows.h"

namespace quorin::test {
namespace {

// The value and normalised value of cell i of row n, so that a cell out of place shows.
double ValueOf(std::size_t n, std::size_t i) { return static_cast<double>(n * 1000 + i); }
double NormalisedOf(std::size_t n, std::size_t i) { return 1.0 / static_cast<double>(n * 1000 + i + 1); }

void ExpectCells(const CRowCells& cells, std::size_t n, std::size_t size) {
    ASSERT_EQ(cells.size(), size);
    for (std::size_t i = 0; i < size; ++i) {
        ASSERT_EQ(cells.Values()[i], ValueOf(n, i)) << n << " " << i;
        ASSERT_EQ(cells.Normalised()[i], NormalisedOf(n, i)) << n << " " << i;
    }
}

// Rows grown one cell at a time pass through every room, from the shared blocks to the heap,
// and shrink back; a cell opened or closed in the middle moves the two halves alike. Copies
// are deep, moves leave the source empty, and rows made on one thread are freed on another.
TEST(RowCellsTest, EditsAcrossEveryRoomKeepBothHalvesInStep) {
    std::vector<CRowCells> rows(300);
    for (std::size_t n = 0; n < rows.size(); ++n) {
        for (std::size_t i = 1; i < n; ++i) rows[n].PushBack(ValueOf(n, i), NormalisedOf(n, i));
        if (n > 0) rows[n].Insert(0, ValueOf(n, 0), NormalisedOf(n, 0));
        ExpectCells(rows[n], n, n);
    }
    std::vector<CRowCells> copies = rows;
    for (std::size_t n = 3; n < rows.size(); ++n) {
        const std::size_t mid = n / 2;
        rows[n].Erase(mid);
        EXPECT_EQ(rows[n].Values()[mid], ValueOf(n, mid + 1));
        EXPECT_EQ(rows[n].Normalised()[mid], NormalisedOf(n, mid + 1));
        rows[n].Insert(mid, ValueOf(n, mid), NormalisedOf(n, mid));
        rows[n].PopBack();
        ExpectCells(rows[n], n, n - 1);
        EXPECT_EQ(copies[n].size(), n);
    }
    CRowCells moved = std::move(copies[299]);
    EXPECT_TRUE(copies[299].empty());
    ExpectCells(moved, 299, 299);
    copies[299] = copies[3];  // a moved-from row is reusable
    ExpectCells(copies[299], 3, 3);
    copies[3] = copies[200];  // assigned across rooms
    ExpectCells(copies[3], 200, 200);
    std::thread([&copies] { copies.clear(); }).join();
    rows.clear();

    CRowCells filled;
    filled.Assign(5, 2.5, 0.5);
    EXPECT_EQ(AsVector(filled.Values()), std::vector<double>(5, 2.5));
    EXPECT_EQ(AsVector(filled.Normalised()), std::vector<double>(5, 0.5));
    EXPECT_THROW(filled.Assign(std::vector<double>{1.0}, std::vector<double>{}), std::invalid_argument);
}

// A row is a pointer, a count, its name and its type; its cells take exactly two doubles
// each up to eight columns.
TEST(RowCellsTest, RowsStayCompact) {
    static_assert(sizeof(CExample) == 24);
    static_assert(CRowCells::RoomOf(6) == 6 && CRowCells::RoomOf(20) == 20 && CRowCells::RoomOf(1000) == 1024);
    CExample ex;
    ex.ExampleName = "ten bytes!";
    ex.ExampleType = Validating;
    SetCells(ex, {1.0, 2.0}, {0.0, 1.0});
    std::vector<CExample> rows(3, ex);
    EXPECT_EQ(rows[2].Cells, ex.Cells);
    EXPECT_EQ(rows[2].ExampleName, "ten bytes!");
    EXPECT_EQ(rows[2].ExampleType, Validating);
}

}  // namespace
}  // namespace quorin::test
