#pragma once
#include <cstdint>
#include <string>

namespace quorin {

// One coded image of an Image column.
struct CImage {
    std::string ImageName;
    std::int32_t Column = 0;
    double PairCode = 0.0;   // the value stored in the Grid cell
    double EdgeCode = 0.0;
    double BlockCode = 0.0;
    std::string FileName;    // bitmap path or fragment descriptor
};

}  // namespace quorin
