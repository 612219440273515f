#pragma once
#include <cstdint>
#include <string>

#include "grid/MissingValue.h"

namespace quorin {

// The current cell function of an open document and the operands captured when it was
// accepted. Never stored in the document file.
struct CCellFunction {
    std::string Text;
    std::int32_t Row = 0;           // operand r
    std::int32_t Column = 0;        // operand c
    double CellValue = kMissing;    // operand v
    double ColumnMin = kMissing;    // operand n
    double ColumnMax = kMinusMissing;  // operand x
};

}  // namespace quorin
