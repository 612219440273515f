#pragma once
#include <cstdint>
#include <string>
#include "grid/ValueArray.h"

namespace quorin {

enum EExampleType : std::int32_t {
    Training = 0,
    Validating = 1,
    Querying = 2,
    ExcludedRow = 3,
    Duplicate = 4
};

// One Example row. Both arrays hold exactly one entry per column.
struct CExample {
    std::string ExampleName;
    std::int32_t ExampleType = Training;
    CValueArray Values;
    CValueArray NormalisedValues;
    // Row error of the last learning or validating pass; not stored in the file.
    double ExampleError = 0.0;
};

}  // namespace quorin
