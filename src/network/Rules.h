#pragma once
#include <cstdint>

namespace quorin {

// Validating rule of one column.
struct CRules {
    std::int32_t Col = 0;
    std::int32_t Within = 0;
    double WithinPercentage = 0.0;
    std::int32_t WithinScore = 0;
    std::int32_t Correct = 0;
    std::int32_t CorrectScore = 0;
};

}  // namespace quorin
