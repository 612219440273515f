#pragma once
#include <cstdint>

namespace quorin {

// Millisecond ticks and sleeping: every time-based rule goes through this so that
// tests can run "stop after seconds" and "once a second" with a fake clock.
class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since some fixed start; wraps like a 32-bit tick count.
    virtual std::uint32_t GetTickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace quorin
