// Preparation steps common to vector, rotation and scalar tracks.
#pragma once

#include <cstdint>

#include "anim/Track.h"

// Returns false when the track has no keys, in which case nothing else is prepared.
template <class Track>
inline bool prepareCommon(Track& track) {
    track.keyCount = static_cast<std::int32_t>(track.keys.size());
    if (track.keys.empty()) return false;
    // Two keys cannot form a smooth loop: a looping two-key track is played as a repeat.
    if (track.keys.size() == 2) track.flags &= ~quorvel::kTrackLoopJoin;
    track.lastFrame = track.keys.back().frame;
    track.firstFrame = track.keys.front().frame;
    track.cursor = 0;
    return true;
}

// Whether the ends of the track are joined smoothly (loop) rather than merely repeated.
template <class Track>
inline bool isLoop(const Track& track) {
    return quorvel::trackLoops(track.flags);
}
