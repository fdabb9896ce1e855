// The single clock of the system: application time that can be stopped and restarted, the
// time elapsed since the previous query, and absolute time. All results are seconds.
#pragma once

namespace quorvel::platform {
class ClockSource;
}

namespace quorvel {

enum TimerCommand {
    ClockStart,     // resume application time (also the first start); returns 0
    ClockStop,      // freeze application time; returns 0
    ClockAbsolute,  // the live clock reading, running or not
    ClockAppTime,   // application time
    ClockElapsed,   // time since the previous ClockElapsed (or ClockStart)
};

float frameTimer(TimerCommand command);

// Makes the timer read `clock` from now on (null: the system clock) and forgets its state, so
// the next call chooses the counter or the millisecond source again and application time starts
// afresh. For tests and the frame-exact capture program; the clock must outlive its use.
void useFrameTimerClock(platform::ClockSource* clock);

}  // namespace quorvel
