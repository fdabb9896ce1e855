// The demo clock under the player's control: the demo time follows the application time from a
// start, and can be paused, resumed and moved. Moves are held to the show's range. The engine asks
// after each frame's time whether the time jumped (the layers then pick their events afresh) and
// whether the music must be put at the demo time and played (after a jump or a resume).
//
// Untouched, the demo time is start + (application time - origin) with origin 0, in that order
// of float operations: exactly the clock the show has always run on.
#pragma once

namespace quorvel {

class PlaybackControl {
public:
    // A new pass: the demo time is `start` at application time `appTime`, running, not paused.
    void restart(float start, float appTime);

    // Demo time at application time appTime.
    float timeAt(float appTime) const { return paused_ ? held_ : base_ + (appTime - origin_); }

    bool paused() const { return paused_; }
    // Pauses, or resumes from the held time.
    void togglePause(float appTime);

    // The range moves are held to; without one, moves are not limited.
    void setRange(float first, float last) {
        first_ = first;
        last_ = last;
    }
    // Moves to `target` (held to the range) or by `seconds` from the time at appTime.
    void jumpTo(float target, float appTime);
    void jumpBy(float seconds, float appTime) { jumpTo(timeAt(appTime) + seconds, appTime); }

    // True once after each jump.
    bool takeJump() { return take(jumped_); }
    // True once after each jump or resume that leaves the clock running.
    bool takeMusicRestart() { return take(musicRestart_); }

private:
    static bool take(bool& flag) {
        const bool was = flag;
        flag = false;
        return was;
    }

    float base_ = 0.0f;    // demo time at origin_
    float origin_ = 0.0f;  // application time at which the clock last (re)started
    float held_ = 0.0f;    // the demo time while paused
    bool paused_ = false;
    float first_ = -3.4e38f;
    float last_ = 3.4e38f;
    bool jumped_ = false;
    bool musicRestart_ = false;
};

}  // namespace quorvel
