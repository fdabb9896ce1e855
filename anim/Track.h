// Key and track records of the keyframe animation. They are part of the scene data handed to
// plug-ins, so their field order and widths are fixed. Position, scale and rotation tracks carry
// the evaluation routine chosen by prepare(); a plug-in evaluates them through that pointer and so
// runs the engine's own evaluation code.
#pragma once

#include <cstdint>
#include <vector>

#include "anim/Quat.h"

struct VectorKey {
    float frame;
    float bias, tension, continuity, easeFrom, easeTo;
    float value[3];
    float inTangent[3];
    float outTangent[3];
};

struct RotationKey {
    float frame;
    float angle;
    float axis[3];
    float bias, tension, continuity, easeFrom, easeTo;
    std::int32_t turns;  // whole turns split off angle by prepare(); 0 on keys not yet prepared
    Quat orientation;
    Quat inControl;
    Quat outControl;
};

struct ScalarKey {
    float frame;
    float value;
    float bias, tension, continuity, easeFrom, easeTo;
};

namespace quorvel {

// Bits 0 and 1 of a track's flags (the flags word of its file header) say what the track does
// outside its keys: 0 holds the end keys' values, any other value repeats the keys' span, and both
// bits together also join the last key smoothly to the first (loop). Other bits mean nothing.
constexpr std::int32_t kTrackEndsMask = 3;
constexpr std::int32_t kTrackClamp = 0;
constexpr std::int32_t kTrackRepeat = 2;
constexpr std::int32_t kTrackLoop = 3;
// The bit that makes a repeat a loop.
constexpr std::int32_t kTrackLoopJoin = 1;

inline bool trackRepeats(std::int32_t flags) { return (flags & kTrackEndsMask) != kTrackClamp; }
inline bool trackLoops(std::int32_t flags) { return (flags & kTrackEndsMask) == kTrackLoop; }

}  // namespace quorvel

struct VectorTrack;
struct RotationTrack;
using VectorEvaluator = void (*)(VectorTrack& track, float frame, float out[3]);
using RotationEvaluator = void (*)(RotationTrack& track, float frame, Quat& out);

struct VectorTrack {
    std::int32_t flags = 0;
    float firstFrame = 0.0f;
    float lastFrame = 0.0f;
    std::int32_t keyCount = 0;
    VectorEvaluator evaluator = nullptr;
    std::vector<VectorKey> keys;
    std::int32_t cursor = 0;  // index of the key that began the last evaluated segment

    void addKey(const VectorKey& key);
    void prepare();
    // Must not be called while keyCount is 0.
    void evaluate(float frame, float out[3]) { evaluator(*this, frame, out); }
};

struct RotationTrack {
    std::int32_t flags = 0;
    float firstFrame = 0.0f;
    float lastFrame = 0.0f;
    std::int32_t keyCount = 0;
    RotationEvaluator evaluator = nullptr;
    std::vector<RotationKey> keys;
    std::int32_t cursor = 0;

    void addKey(const RotationKey& key);
    void prepare();
    void evaluate(float frame, Quat& out) { evaluator(*this, frame, out); }
};

struct ScalarTrack {
    std::int32_t flags = 0;
    float firstFrame = 0.0f;
    float lastFrame = 0.0f;
    std::int32_t keyCount = 0;
    std::vector<ScalarKey> keys;
    std::int32_t cursor = 0;

    void addKey(const ScalarKey& key);
    void prepare();
};

// The fixed scalar routine (linear between keys). It lives in the shared library, so the plug-in
// carries its own copy of it. A track without keys gives 0 (nothing is read).
float evaluateScalar(ScalarTrack& track, float frame);
