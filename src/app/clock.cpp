// The system clock behind timeGetTime and Sleep: a monotonic clock, so that a
// change of the wall-clock time never stretches or cuts the splash.
#include "app/clock.h"

#include <chrono>
#include <thread>

namespace qv {

uint32_t SystemClock::timeGetTime() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SystemClock::Sleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace qv
