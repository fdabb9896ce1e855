// Keyframe tracks for the scene generator: paths, spins and scalar curves, written with keys
// spread evenly over the animation so that the player's splines move at an even pace.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "anim/Track.h"
#include "tools/3dswriter/ThreeDSWriter.h"

namespace quorvel {

using threeds::TrackDesc;
using threeds::Vec3;

// One key at frame 0: a node that stays where it is put.
TrackDesc still(Vec3 position);
TrackDesc stillScalar(float value);

// steps + 1 keys at frames 0, frames/steps, ..., frames with the values of f at t = 0 ... 1.
// flags: kTrackClamp, kTrackRepeat, or kTrackLoop (the last key should then equal the first).
TrackDesc sampledPath(std::uint32_t frames, int steps, const std::function<Vec3(float t)>& f,
                      std::uint16_t flags);
TrackDesc sampledScalar(std::uint32_t frames, int steps, const std::function<float(float t)>& f,
                        std::uint16_t flags);

// An even spin of `turns` whole or fractional turns about axis over `frames`, starting from the
// given angle (radians) about the same axis. Every step stays below half a turn, so the player's
// plain spline rotation is used, and the spin repeats seamlessly when turns is a whole number.
TrackDesc spin(Vec3 axis, float startAngle, float turns, std::uint32_t frames, int steps);

// A keyframer node of the given kind placed by its position track, without a parent.
threeds::NodeDesc placedNode(threeds::NodeKind kind, std::int16_t id, const std::string& name,
                             TrackDesc position);

}  // namespace quorvel
