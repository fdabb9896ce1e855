// Time handling and segment search shared by every track kind with two or more keys.
//
// Clamped tracks hold the first key's value before the first key and the last key's value after
// the last one. Repeating and looping tracks wrap the time into the keys' span.
// Then the segment that holds the time is found by a forward scan from the track's cursor, so
// playing forward costs the same whatever the number of keys; a time before the cursor's key
// restarts the scan at the first key.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "anim/Track.h"

struct TrackSegment {
    enum Kind { BeforeFirst, AfterLast, Inside } kind;
    std::size_t index;  // first key of the segment (Inside only)
    float s;            // position in the segment, 0 at key index, 1 at key index + 1
};

// Wraps the frame of a repeating track into [firstFrame, lastFrame). The remainder is taken
// relative to the first key and kept non-negative, so a track whose first key is not at frame 0,
// or a time before it, still lands inside the keys. A span of 0 gives NaN (never an index).
inline float wrapFrame(float frame, float firstFrame, float lastFrame) {
    const float span = lastFrame - firstFrame;
    float u = std::fmod(frame - firstFrame, span);
    if (u < 0.0f) u += span;
    return firstFrame + u;
}

// Track: VectorTrack, RotationTrack or ScalarTrack with at least two keys.
template <class Track>
inline TrackSegment findSegment(Track& track, float frame) {
    float u = frame;
    if (quorvel::trackRepeats(track.flags)) {
        u = wrapFrame(frame, track.firstFrame, track.lastFrame);
    } else {
        if (frame < track.firstFrame) return {TrackSegment::BeforeFirst, 0, 0.0f};
        // A frame equal to lastFrame is not clamped: it ends the last segment at s = 1.
        if (frame > track.lastFrame) return {TrackSegment::AfterLast, 0, 0.0f};
    }

    const auto* keys = track.keys.data();
    // The last segment starts at count - 2; the scan never goes further, even when the keys'
    // frames do not increase, so no key past the array is ever read.
    const std::size_t lastSegment = track.keys.size() - 2;
    std::size_t i = static_cast<std::size_t>(track.cursor);
    if (i > lastSegment || u < keys[i].frame) i = 0;
    while (i < lastSegment && keys[i + 1].frame < u) ++i;
    track.cursor = static_cast<std::int32_t>(i);

    const float s = (u - keys[i].frame) / (keys[i + 1].frame - keys[i].frame);
    return {TrackSegment::Inside, i, s};
}
