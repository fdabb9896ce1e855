#include "shell/FrameTimer.h"

#include "platform/time/ClockSource.h"

#include <cstdint>

namespace quorvel {
namespace {

// Process-wide timer state, created on first use. The counter keeps ticks, the millisecond
// source seconds; a stop time of 0 means the timer is running.
struct TimerState {
    platform::ClockSource* clock = nullptr;
    bool initialised = false;
    bool useCounter = false;
    std::int64_t frequency = 0;
    std::int64_t counterStop = 0, counterLastElapsed = 0, counterBase = 0;
    double msStop = 0.0, msLastElapsed = 0.0, msBase = 0.0;
};

TimerState& state() {
    static TimerState s;
    return s;
}

float counterCommand(TimerState& s, TimerCommand command) {
    // ClockStart and ClockAbsolute always read the live clock; the others see the stop time
    // while stopped.
    std::int64_t now = 0;
    if (s.counterStop != 0 && command != ClockStart && command != ClockAbsolute)
        now = s.counterStop;
    else
        now = s.clock->counterTicks();
    const double frequency = static_cast<double>(s.frequency);

    switch (command) {
    case ClockStart:
        s.counterBase += now - s.counterStop;
        s.counterStop = 0;
        s.counterLastElapsed = now;
        return 0.0f;
    case ClockStop:
        // While stopped `now` is the stop time, so a second stop keeps the first one.
        s.counterStop = now;
        s.counterLastElapsed = now;
        return 0.0f;
    case ClockAbsolute:
        return static_cast<float>(static_cast<double>(now) / frequency);
    case ClockAppTime:
        return static_cast<float>(static_cast<double>(now - s.counterBase) / frequency);
    case ClockElapsed: {
        const double elapsed = static_cast<double>(now - s.counterLastElapsed) / frequency;
        s.counterLastElapsed = now;
        return static_cast<float>(elapsed);
    }
    }
    return -1.0f;
}

float millisecondCommand(TimerState& s, TimerCommand command) {
    double now = 0.0;
    if (s.msStop != 0.0 && command != ClockStart && command != ClockAbsolute)
        now = s.msStop;
    else
        now = s.clock->milliseconds() * 0.001;

    switch (command) {
    case ClockStart:
        s.msBase += now - s.msStop;
        s.msStop = 0.0;
        s.msLastElapsed = now;
        return 0.0f;
    case ClockStop:
        // Unlike the counter, the millisecond source leaves the last-elapsed reading alone, so
        // the first elapsed query after a stop reports the time up to the stop.
        s.msStop = now;
        return 0.0f;
    case ClockAbsolute:
        return static_cast<float>(now);
    case ClockAppTime:
        return static_cast<float>(now - s.msBase);
    case ClockElapsed: {
        const double elapsed = now - s.msLastElapsed;
        s.msLastElapsed = now;
        return static_cast<float>(elapsed);
    }
    }
    return -1.0f;
}

}  // namespace

float frameTimer(TimerCommand command) {
    TimerState& s = state();
    if (!s.initialised) {
        if (!s.clock) s.clock = &platform::systemClock();
        s.frequency = s.clock->counterFrequency();
        s.useCounter = s.frequency > 0;
        s.initialised = true;
    }
    return s.useCounter ? counterCommand(s, command) : millisecondCommand(s, command);
}

void useFrameTimerClock(platform::ClockSource* clock) {
    state() = TimerState{};
    state().clock = clock;
}

}  // namespace quorvel
