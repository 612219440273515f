#pragma once
// Stand-ins for network operations that land with the network engine; removed when
// they do.
#include <cstdint>

namespace quorin {
class CQuorinDoc;

inline int ChangeNetwork(CQuorinDoc&, int, int) { return 0; }

// The thread's generator: state × 214013 + 2531011, bits 16 to 30.
inline int Random() {
    thread_local std::uint32_t state = 12345;
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

}  // namespace quorin
