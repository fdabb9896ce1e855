#include "platform/time/ManualClock.h"

#include <cmath>

namespace quorvel::platform {

void ManualClock::set(double seconds) {
    ticks_ = std::llround(seconds * static_cast<double>(kTicksPerSecond));
}

void ManualClock::advance(double seconds) {
    ticks_ += std::llround(seconds * static_cast<double>(kTicksPerSecond));
}

std::uint32_t ManualClock::milliseconds() {
    // Whole milliseconds, wrapping like the 32-bit count it stands in for.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks_ / 1'000'000));
}

}  // namespace quorvel::platform
