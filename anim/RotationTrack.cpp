// Rotation tracks: relative key rotations accumulated into absolute orientations, whole turns
// split off for spinning segments, and the squad control quaternions of every key.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "anim/AnimConstants.h"
#include "anim/Evaluators.h"
#include "anim/Track.h"
#include "anim/TrackPrepare.h"

namespace {

using quorvel::kHalfPi;
using quorvel::kPi;
using quorvel::kTwoPi;

// Whole turns in angle, floored in double precision. Angles come from files: a value too large
// for the key's integer (or NaN) must not reach an undefined conversion, so it saturates.
std::int32_t wholeTurns(float angle) {
    const double turns = std::floor(static_cast<double>(angle) / static_cast<double>(kTwoPi));
    if (turns >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (turns <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (!(turns == turns)) return 0;
    return static_cast<std::int32_t>(turns);
}

std::int32_t addTurns(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    if (sum > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (sum < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(sum);
}

// Logarithm of the step into key j (a pure quaternion). Keys are relative, so the step is key j's
// own rotation. A spinning step counts as a half turn; otherwise the half-angle is taken in
// (-pi/2, pi/2) so that the step is the representative with w >= 0.
Quat stepLog(const RotationKey& j) {
    float h;
    if (j.turns != 0) {
        h = kPi * 0.5f;
    } else {
        h = j.angle * 0.5f;
        if (h >= kHalfPi) h -= kPi;
    }
    return {h * j.axis[0], h * j.axis[1], h * j.axis[2], 0.0f};
}

Quat blend(float wa, const Quat& a, float wb, const Quat& b) {
    return quatAdd(quatScale(wa, a), quatScale(wb, b));
}

// Squad control quaternions of key i from its neighbours p and n (either may be missing), with
// Kochanek-Bartels tension, continuity and bias and timing factors for unevenly spaced keys.
void computeControls(const RotationKey* p, RotationKey& i, const RotationKey* n) {
    Quat g1{}, g2{};
    if (p) g1 = stepLog(i);
    if (n) g2 = stepLog(*n);
    if (!p) g1 = g2;
    if (!n) g2 = g1;

    const float c = i.continuity;
    float fp = 1.0f, fn = 1.0f;
    if (p && n) {
        const float span = n->frame - p->frame;
        fp = 2.0f * (i.frame - p->frame) / span;
        fn = 2.0f * (n->frame - i.frame) / span;
        const float ac = std::fabs(c);
        fp = ac + fp - ac * fp;
        fn = ac + fn - ac * fn;
    }

    const float tm = (1.0f - i.tension) * 0.5f;
    const float cm = 1.0f - c;
    const float cp = 2.0f - cm;
    const float bm = 1.0f - i.bias;
    const float bp = 2.0f - bm;
    const float ksm = tm * cm * bp * fp;
    const float ksp = tm * cp * bm * fp;
    const float kdm = tm * cp * bp * fn;
    const float kdp = tm * cm * bm * fn;

    const Quat a = quatScale(0.5f, blend(kdm, g1, kdp - 1.0f, g2));
    const Quat b = quatScale(0.5f, blend(1.0f - ksm, g1, -ksp, g2));
    i.outControl = quatMul(i.orientation, quatExp(a));
    i.inControl = quatMul(i.orientation, quatExp(b));
}

}  // namespace

void RotationTrack::addKey(const RotationKey& key) {
    keys.push_back(key);
    ++keyCount;
}

void RotationTrack::prepare() {
    if (!prepareCommon(*this)) return;
    const std::size_t count = keys.size();

    // Every angle becomes non-negative, the axis turning round instead. NaN counts as negative.
    for (RotationKey& key : keys) {
        if (!(key.angle >= 0.0f)) {
            key.angle = -key.angle;
            for (float& a : key.axis) a = -a;
        }
    }

    RotationKey& first = keys.front();
    first.orientation = quatFromAxisAngle(first.angle, first.axis[0], first.axis[1], first.axis[2]);
    for (std::size_t k = 1; k < count; ++k) {
        RotationKey& key = keys[k];
        // Whole turns move into `turns`. They are added to what an earlier prepare split off, so
        // preparing again after more keys were appended keeps every key's spin.
        const std::int32_t turns = wholeTurns(key.angle);
        key.angle = key.angle - static_cast<float>(turns) * kTwoPi;
        key.turns = addTurns(key.turns, turns);
        key.orientation = quatMul(keys[k - 1].orientation,
                                  quatFromAxisAngle(key.angle, key.axis[0], key.axis[1], key.axis[2]));
    }

    if (count == 1) {
        evaluator = evaluateSingleKeyRotation;
        return;
    }

    for (std::size_t k = 1; k + 1 < count; ++k) computeControls(&keys[k - 1], keys[k], &keys[k + 1]);

    RotationKey& last = keys.back();
    if (isLoop(*this)) {
        RotationKey wrapped = keys[1];
        wrapped.frame = keys[1].frame - keys.front().frame + last.frame;
        computeControls(&keys[count - 2], last, &wrapped);
        keys.front().outControl = quatScale(-1.0f, last.outControl);
    } else {
        computeControls(nullptr, keys.front(), &keys[1]);
        computeControls(&keys[count - 2], last, nullptr);
    }

    bool spins = false;
    for (std::size_t k = 1; k < count; ++k)
        if (keys[k].turns != 0 || static_cast<double>(keys[k].angle) > quorvel::kMultiTurnAngle) spins = true;
    evaluator = spins ? evaluateMultiTurnRotation : evaluateSquadRotation;
}
