#include "tools/makescenes/Keys.h"

#include <cmath>
#include <stdexcept>

namespace quorvel {

namespace {

threeds::KeyDesc key(std::uint32_t frame, std::vector<float> value) {
    threeds::KeyDesc k;
    k.frame = frame;
    k.value = std::move(value);
    return k;
}

std::uint32_t frameAt(std::uint32_t frames, int step, int steps) {
    return static_cast<std::uint32_t>(std::lround(double(frames) * step / steps));
}

}  // namespace

TrackDesc still(Vec3 position) {
    TrackDesc track;
    track.keys.push_back(key(0, {position.x, position.y, position.z}));
    return track;
}

TrackDesc stillScalar(float value) {
    TrackDesc track;
    track.keys.push_back(key(0, {value}));
    return track;
}

TrackDesc sampledPath(std::uint32_t frames, int steps, const std::function<Vec3(float t)>& f,
                      std::uint16_t flags) {
    TrackDesc track;
    track.flags = flags;
    for (int i = 0; i <= steps; ++i) {
        const Vec3 p = f(float(i) / float(steps));
        track.keys.push_back(key(frameAt(frames, i, steps), {p.x, p.y, p.z}));
    }
    return track;
}

TrackDesc sampledScalar(std::uint32_t frames, int steps, const std::function<float(float t)>& f,
                        std::uint16_t flags) {
    TrackDesc track;
    track.flags = flags;
    for (int i = 0; i <= steps; ++i)
        track.keys.push_back(key(frameAt(frames, i, steps), {f(float(i) / float(steps))}));
    return track;
}

TrackDesc spin(Vec3 axis, float startAngle, float turns, std::uint32_t frames, int steps) {
    const float step = turns * 6.2831853f / float(steps);
    if (std::fabs(step) >= 3.0f) throw std::invalid_argument("spin steps too coarse");
    TrackDesc track;
    track.flags = kTrackRepeat;
    // The first key is the absolute start orientation; every later key turns on from the one
    // before it.
    track.keys.push_back(key(0, {startAngle, axis.x, axis.y, axis.z}));
    for (int i = 1; i <= steps; ++i)
        track.keys.push_back(key(frameAt(frames, i, steps), {step, axis.x, axis.y, axis.z}));
    return track;
}

threeds::NodeDesc placedNode(threeds::NodeKind kind, std::int16_t id, const std::string& name,
                             TrackDesc position) {
    threeds::NodeDesc node;
    node.kind = kind;
    node.id = id;
    node.name = name;
    node.position = std::move(position);
    return node;
}

}  // namespace quorvel
