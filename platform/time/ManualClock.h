// A clock that only moves when told to, for tests and for frame-exact capture. Both its
// counter and its millisecond reading derive from one time in seconds.
#pragma once

#include "platform/time/ClockSource.h"

namespace quorvel::platform {

class ManualClock final : public ClockSource {
public:
    // Counter resolution: one tick per nanosecond.
    static constexpr std::int64_t kTicksPerSecond = 1'000'000'000;

    // Starts at one second: a reading of 0 would look like "running" to a timer that is stopped
    // at it.
    explicit ManualClock(double startSeconds = 1.0) { set(startSeconds); }

    void set(double seconds);
    void advance(double seconds);
    double seconds() const { return static_cast<double>(ticks_) / kTicksPerSecond; }

    // Without a counter the frame timer falls back to the millisecond reading.
    void setCounterAvailable(bool available) { counterAvailable_ = available; }

    std::int64_t counterFrequency() override { return counterAvailable_ ? kTicksPerSecond : 0; }
    std::int64_t counterTicks() override { return ticks_; }
    std::uint32_t milliseconds() override;

private:
    std::int64_t ticks_ = 0;
    bool counterAvailable_ = true;
};

}  // namespace quorvel::platform
