// Keys and tracks for the tests of animation: a key at a frame with its value, and a track filled
// with keys and prepared, as the scene reader leaves it.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "anim/Track.h"

namespace quorvel::testing {

inline VectorKey vectorKey(float frame, float x, float y, float z) {
    VectorKey key{};
    key.frame = frame;
    key.value[0] = x;
    key.value[1] = y;
    key.value[2] = z;
    return key;
}

inline ScalarKey scalarKey(float frame, float value) {
    ScalarKey key{};
    key.frame = frame;
    key.value = value;
    return key;
}

template <class Track>
using KeyOf = typename decltype(Track::keys)::value_type;

// Sets the track's flags, adds the keys in order and prepares it.
template <class Track>
void fillTrack(Track& track, std::initializer_list<KeyOf<Track>> keys, std::int32_t flags = 0) {
    track.flags = flags;
    for (const auto& key : keys) track.addKey(key);
    track.prepare();
}

template <class Track>
Track preparedTrack(std::initializer_list<KeyOf<Track>> keys, std::int32_t flags = 0) {
    Track track;
    fillTrack(track, keys, flags);
    return track;
}

}  // namespace quorvel::testing
