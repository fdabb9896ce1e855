// A numeric parameter that changes over an effect's event: one key per parameter block that
// names it, at the block's time. Between two keys the value moves linearly, or along a smooth
// curve when the effect eases; before the first key and after the last the nearest key holds.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvel::flat {

class KeyTrack {
public:
    KeyTrack() = default;
    explicit KeyTrack(float defaultValue) : default_(defaultValue) {}

    // A key at time; a second key at the same time replaces the first (the later block wins).
    void add(float time, float value);
    bool empty() const { return keys_.empty(); }
    // The value at time t; the default when the track has no key.
    float at(float t, bool ease) const;

private:
    struct Key {
        float time;
        float value;
    };
    std::vector<Key> keys_;  // ordered by time
    float default_ = 0.0f;
};

// An A8R8G8B8 colour with keys, each channel moving on its own.
class ColourTrack {
public:
    explicit ColourTrack(std::uint32_t defaultColour);
    void add(float time, std::uint32_t colour);
    std::uint32_t at(float t, bool ease) const;

private:
    KeyTrack channels_[4];  // alpha, red, green, blue
};

}  // namespace quorvel::flat
