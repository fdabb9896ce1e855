// The text of the player's two overlays: F1 lists the keys; T shows where the show is (demo time,
// pause state and what each active layer plays).
#pragma once

#include <string>
#include <vector>

#include "engine/Timeline.h"

namespace quorvel {

// The key list the F1 overlay shows.
const std::vector<std::string>& helpLines();

// A time in seconds as minutes, seconds and hundredths: "mm:ss.ff" (with "-" before a negative
// time; the minutes grow past 99 as needed).
std::string clockText(float seconds);

// Demo time in seconds and as a clock, the pause state, then one line per active layer: its
// number, the effect class of its event and the seconds since that event started.
std::vector<std::string> timeLines(float demoTime, bool paused, const Layer* layers, int layerCount);

}  // namespace quorvel
