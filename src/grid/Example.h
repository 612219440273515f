#pragma once
#include <cstdint>
#include <span>

#include "grid/RowCells.h"
#include "grid/RowName.h"

namespace quorin {

enum EExampleType : std::int32_t {
    Training = 0,
    Validating = 1,
    Querying = 2,
    ExcludedRow = 3,
    Duplicate = 4
};

// One Example row: 24 bytes beside its cells, which for a Grid of millions of narrow rows is
// most of its memory. The name and the type sit in the unused end of the cells. The row
// error of the last learning or validating pass is the document's (m_ExampleErrors).
struct CExample {
    // Each column's value and normalised value; change them through Cells.
    [[no_unique_address]] CRowCells Cells;
    CRowName ExampleName;
    // One of EExampleType.
    std::int8_t ExampleType = Training;

    std::span<double> Values() noexcept { return Cells.Values(); }
    std::span<const double> Values() const noexcept { return Cells.Values(); }
    std::span<double> NormalisedValues() noexcept { return Cells.Normalised(); }
    std::span<const double> NormalisedValues() const noexcept { return Cells.Normalised(); }
};
static_assert(sizeof(CExample) == 24);

}  // namespace quorin
