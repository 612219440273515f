#pragma once
#include <cstdint>
#include <string>

namespace quorin {

// One coded text of a Text column.
struct CHashText {
    std::int32_t Column = 0;
    double Code = 0.0;
    std::string Text;
};

}  // namespace quorin
