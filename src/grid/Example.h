#pragma once
#include <cstdint>
#include "grid/RowName.h"
#include "grid/ValueArray.h"

namespace quorin {

enum EExampleType : std::int32_t {
    Training = 0,
    Validating = 1,
    Querying = 2,
    ExcludedRow = 3,
    Duplicate = 4
};

// One Example row. Both arrays hold exactly one entry per column. The row type and the name
// sit in the unused ends of the arrays: 64 bytes a row beside the values that do not fit in
// the arrays, which for a Grid of millions of narrow rows is most of its memory.
struct CExample {
    [[no_unique_address]] CValueArray Values;
    std::int32_t ExampleType = Training;
    [[no_unique_address]] CValueArray NormalisedValues;
    CRowName ExampleName;
    // Row error of the last learning or validating pass; not stored in the file.
    double ExampleError = 0.0;
};
static_assert(sizeof(CExample) <= 64);

}  // namespace quorin
