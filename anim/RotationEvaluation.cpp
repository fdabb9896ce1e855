// Evaluation routines of rotation tracks: squad between orientations, and a variant that spins
// through whole turns when a key rotates by a full turn or more relative to the previous one.
#include <cmath>

#include "anim/AnimConstants.h"
#include "anim/Ease.h"
#include "anim/Evaluators.h"
#include "anim/TrackSearch.h"

namespace {

using quorvel::kPi;
using quorvel::kTwoPi;

// Shared front of the two-key routines: the clamped ends give a key's orientation directly.
// Returns false when out already holds the result.
bool locate(RotationTrack& track, float frame, Quat& out, const RotationKey*& a, const RotationKey*& b, float& d) {
    const TrackSegment segment = findSegment(track, frame);
    if (segment.kind == TrackSegment::BeforeFirst) {
        out = track.keys.front().orientation;
        return false;
    }
    if (segment.kind == TrackSegment::AfterLast) {
        out = track.keys.back().orientation;
        return false;
    }
    a = &track.keys[segment.index];
    b = &track.keys[segment.index + 1];
    d = ease(segment.s, a->easeFrom, b->easeTo);
    return true;
}

Quat rotationAbout(const RotationKey& key, float angle) {
    return quatFromAxisAngle(angle, key.axis[0], key.axis[1], key.axis[2]);
}

}  // namespace

void evaluateSingleKeyRotation(RotationTrack& track, float, Quat& out) { out = track.keys.front().orientation; }

void evaluateSquadRotation(RotationTrack& track, float frame, Quat& out) {
    const RotationKey* a;
    const RotationKey* b;
    float d;
    if (!locate(track, frame, out, a, b, d)) return;
    const Quat between = quatSlerp(a->orientation, b->orientation, d);
    const Quat controls = quatSlerp(a->outControl, b->inControl, d);
    out = quatSlerp(between, controls, 2.0f * d * (1.0f - d));
}

void evaluateMultiTurnRotation(RotationTrack& track, float frame, Quat& out) {
    const RotationKey* a;
    const RotationKey* b;
    float d;
    if (!locate(track, frame, out, a, b, d)) return;

    // Total angle of the step from a to b, whole turns included, about b's axis.
    const float theta = static_cast<float>(b->turns) * kTwoPi + b->angle;
    if (b->turns == 0) {
        const Quat spun = quatMul(a->orientation, rotationAbout(*b, theta * d));
        const Quat controls = quatSlerp(a->outControl, b->inControl, d);
        out = quatSlerp(spun, controls, 2.0f * d * (1.0f - d));
        return;
    }

    // The segment eases out of a over the first half turn, spins at constant speed, and eases
    // into b over the last half turn. k is the share of the segment that covers half a turn.
    const float k = kPi / theta;
    if (d < k) {
        const float h = d / k;
        const Quat halfTurn = quatMul(a->orientation, rotationAbout(*b, k * theta));
        const Quat r = quatSlerp(a->orientation, halfTurn, h);
        const Quat s = quatSlerp(a->outControl, halfTurn, h);
        out = quatSlerp(r, s, 2.0f * h * (1.0f - h));
    } else if (d <= 1.0f - k) {
        // With exactly one turn and no remainder the spinning part has no length; its single
        // point is the half turn, which is where both neighbouring parts meet.
        const float width = (1.0f - k) - k;
        const float w = width > 0.0f ? (d - k) / width : 0.0f;
        const float phi = std::fmod(w * (theta - kTwoPi) + kPi, kTwoPi);
        out = quatMul(a->orientation, rotationAbout(*b, phi));
    } else {
        const float h = (d - (1.0f - k)) * (1.0f / k);
        Quat lastHalf = quatMul(a->orientation, rotationAbout(*b, (1.0f - k) * theta));
        // An odd number of turns leaves the spun quaternion on the other sign from b's.
        if (b->turns % 2 != 0) lastHalf = quatScale(-1.0f, lastHalf);
        const Quat r = quatSlerp(lastHalf, b->orientation, h);
        const Quat s = quatSlerp(lastHalf, b->inControl, h);
        out = quatSlerp(r, s, 2.0f * h * (1.0f - h));
    }
}
