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

// One Example row. Both arrays hold exactly one entry per column. The row type sits in the
// unused end of the first array: 72 bytes a row beside the values that do not fit in the
// arrays, which for a Grid of ten million narrow rows is most of its memory.
struct CExample {
    CRowName ExampleName;
    [[no_unique_address]] CValueArray Values;
    std::int32_t ExampleType = Training;
    CValueArray NormalisedValues;
    // Row error of the last learning or validating pass; not stored in the file.
    double ExampleError = 0.0;
};
static_assert(sizeof(CExample) <= 72);

}  // namespace quorin
