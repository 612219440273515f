#pragma once
#include <cstdint>

namespace quorin {

struct CAssociation {
    std::int32_t FromCol = 0;
    std::int32_t ToCol = 0;
    double Strength = 0.0;
    double Spare = 0.0;
};

}  // namespace quorin
