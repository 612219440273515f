#pragma once
#include <cstdint>

namespace quorin {

// The Extend Learning settings of a document (not stored in the file).
struct CExtendSettings {
    std::int32_t Enabled = 0;  // set once the dialog has been confirmed
    std::int32_t After = 0;
    std::int32_t Every = 0;
    std::int32_t CopiesLeft = 0;
    std::int32_t JitterInputs = 0;
    std::int32_t JitterOutputs = 0;
    std::int32_t SetOutputsByQuerying = 0;
    std::int32_t JitterLevel = 2;    // 0 high, 1 medium, 2 low
    std::int32_t RangeHandling = 2;  // 0 contract within range, 1 expand out of range, 2 retain
    std::int32_t LastCopiedRow = 0;
};

}  // namespace quorin
