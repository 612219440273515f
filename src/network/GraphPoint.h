#pragma once
#include <cstdint>

namespace quorin {

// One point of the learning graph.
struct CGraphPoint {
    std::int32_t Cycles = 0;
    double AveError = 0.0;
    double MaxError = 0.0;
    double MinError = 0.0;
};

// One validating result of the open session (the document file has no place for these).
struct CValidatingPoint {
    std::int32_t Cycles = 0;
    double Percent = 0.0;
};

}  // namespace quorin
