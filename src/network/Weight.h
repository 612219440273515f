#pragma once
#include <cstdint>

namespace quorin {

struct CWeight {
    std::int32_t WeightType = 0;    // 0 connected; anything else: connection removed
    std::int32_t WeightNumber = 0;  // updates spent below the pruning threshold
    std::int32_t ToNode = 0;
    std::int32_t FromNode = 0;
    double Weight = 0.0;
    double WeightChange = 0.0;
    double PreviousWeightChange = 0.0;
};

}  // namespace quorin
