// The millisecond clock and the blocking sleep the start-up measures the
// splash with; tests hand in their own clock so that no test waits for real.
#pragma once

#include <cstdint>

namespace qv {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed moment; wraps after 2^32 ms.
    virtual uint32_t timeGetTime() = 0;
    // Blocks the calling thread; nothing is painted or handled meanwhile.
    virtual void Sleep(uint32_t ms) = 0;
};

// The monotonic system clock.
class SystemClock final : public Clock {
  public:
    uint32_t timeGetTime() override;
    void Sleep(uint32_t ms) override;
};

}  // namespace qv
