#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "grid/MissingValue.h"

namespace quorin {

enum EInOutType : std::int32_t { Input = 0, Output = 1, ExcludedCol = 2 };
enum EMode : std::int32_t { Real = 0, Integer = 1, Bool = 2, Text = 3, Image = 4 };

// One Input/Output column.
struct CInOut {
    std::string InOutName;
    std::int32_t InOutType = Input;
    std::int32_t SavedType = Input;  // type before the last change made while a network existed
    std::int32_t Mode = Real;
    std::int32_t EditorMode = -1;        // Grid editor working field; not stored
    std::int32_t AssociatedColumn = -1;  // Image columns only; not stored
    std::int32_t Lock = 0;               // input locked while querying; not stored
    double LowValue = kMissing;
    double HighValue = kMinusMissing;
    double AverageValue = 0.0;  // not stored
    std::array<double, 3> ImageCodeLow{kMissing, kMissing, kMissing};
    std::array<double, 3> ImageCodeHigh{kMinusMissing, kMinusMissing, kMinusMissing};
};

// The input or output nodes a column feeds: an Image column feeds three (its codes), any
// other column one.
inline int NodesOf(const CInOut& io) { return io.Mode == Image ? 3 : 1; }

}  // namespace quorin
