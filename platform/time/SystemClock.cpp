#include "platform/time/ClockSource.h"

#include <SDL.h>

#include <chrono>

namespace quorvel::platform {
namespace {

using Steady = std::chrono::steady_clock;

// steady_clock counts from boot on Linux. Seconds since boot lose their fractions once they are
// held in a float (after a few days of uptime the frame statistics would be off by several per
// cent), so the counter is read relative to a point just before the process first used it.
// The point lies one second back so that no reading is ever 0, which the timer reserves for
// "running".
class SystemClock final : public ClockSource {
public:
    SystemClock() : epoch_(Steady::now() - std::chrono::seconds(1)) {}

    std::int64_t counterFrequency() override {
        return static_cast<std::int64_t>(Steady::period::den / Steady::period::num);
    }

    std::int64_t counterTicks() override {
        return static_cast<std::int64_t>((Steady::now() - epoch_).count());
    }

    std::uint32_t milliseconds() override { return SDL_GetTicks(); }

private:
    Steady::time_point epoch_;
};

}  // namespace

ClockSource& systemClock() {
    static SystemClock clock;
    return clock;
}

}  // namespace quorvel::platform
