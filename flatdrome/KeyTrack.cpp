#include "flatdrome/KeyTrack.h"

#include <algorithm>
#include <cmath>

namespace quorvel::flat {

void KeyTrack::add(float time, float value) {
    auto position = std::lower_bound(keys_.begin(), keys_.end(), time,
                                     [](const Key& key, float t) { return key.time < t; });
    if (position != keys_.end() && position->time == time) {
        position->value = value;
        return;
    }
    keys_.insert(position, Key{time, value});
}

float KeyTrack::at(float t, bool ease) const {
    if (keys_.empty()) return default_;
    if (!(t > keys_.front().time)) return keys_.front().value;  // also for a NaN time
    if (t >= keys_.back().time) return keys_.back().value;
    auto next = std::upper_bound(keys_.begin(), keys_.end(), t,
                                 [](float time, const Key& key) { return time < key.time; });
    const Key& b = *next;
    const Key& a = *(next - 1);
    float s = (t - a.time) / (b.time - a.time);
    if (ease) s = s * s * (3.0f - 2.0f * s);  // smoothstep: starts and ends at rest
    return a.value + (b.value - a.value) * s;
}

ColourTrack::ColourTrack(std::uint32_t defaultColour) {
    for (int c = 0; c < 4; ++c)
        channels_[c] = KeyTrack(static_cast<float>((defaultColour >> (24 - 8 * c)) & 0xFFu));
}

void ColourTrack::add(float time, std::uint32_t colour) {
    for (int c = 0; c < 4; ++c) channels_[c].add(time, static_cast<float>((colour >> (24 - 8 * c)) & 0xFFu));
}

std::uint32_t ColourTrack::at(float t, bool ease) const {
    std::uint32_t colour = 0;
    for (int c = 0; c < 4; ++c) {
        const float value = std::clamp(channels_[c].at(t, ease), 0.0f, 255.0f);
        colour |= static_cast<std::uint32_t>(std::lround(value)) << (24 - 8 * c);
    }
    return colour;
}

}  // namespace quorvel::flat
