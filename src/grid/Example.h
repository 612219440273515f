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

// One Example row. Both arrays hold exactly one entry per column. Ordered without padding
// but at the end: 80 bytes a row beside the values that do not fit in the arrays.
struct CExample {
    CRowName ExampleName;
    CValueArray Values;
    CValueArray NormalisedValues;
    // Row error of the last learning or validating pass; not stored in the file.
    double ExampleError = 0.0;
    std::int32_t ExampleType = Training;
};
static_assert(sizeof(CExample) <= 80);

}  // namespace quorin
