#include "engine/PlaybackControl.h"

#include <algorithm>

namespace quorvel {

void PlaybackControl::restart(float start, float appTime) {
    base_ = start;
    origin_ = appTime;
    paused_ = false;
}

void PlaybackControl::togglePause(float appTime) {
    if (paused_) {
        restart(held_, appTime);
        musicRestart_ = true;
    } else {
        held_ = timeAt(appTime);
        paused_ = true;
    }
}

void PlaybackControl::jumpTo(float target, float appTime) {
    // max before min: a range whose end lies before its start ends at its start.
    target = std::min(std::max(target, first_), std::max(first_, last_));
    if (paused_) {
        held_ = target;
    } else {
        restart(target, appTime);
        musicRestart_ = true;
    }
    jumped_ = true;
}

}  // namespace quorvel
