// The clocks the frame timer reads. A source offers a high-resolution counter (ticks and
// ticks per second) and a millisecond clock used when the counter is not available.
#pragma once

#include <cstdint>

namespace quorvel::platform {

class ClockSource {
public:
    virtual ~ClockSource() = default;

    // Ticks per second of the high-resolution counter, or 0 when the source has none.
    virtual std::int64_t counterFrequency() = 0;
    // Current reading of the high-resolution counter, in ticks.
    virtual std::int64_t counterTicks() = 0;
    // Current reading of the millisecond clock; wraps around like a 32-bit millisecond count.
    virtual std::uint32_t milliseconds() = 0;
};

// The process's real clocks: std::chrono::steady_clock as the counter and SDL's millisecond
// tick as the fall-back.
ClockSource& systemClock();

}  // namespace quorvel::platform
