#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>

#include "anim/Evaluators.h"
#include "anim/Track.h"
#include "support/TrackKeys.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;

RotationKey key(float frame, float angle, float ax, float ay, float az) {
    RotationKey k{};
    k.frame = frame;
    k.angle = angle;
    k.axis[0] = ax;
    k.axis[1] = ay;
    k.axis[2] = az;
    return k;
}

RotationKey zKey(float frame, float angle) { return key(frame, angle, 0, 0, 1); }

RotationTrack makeTrack(std::initializer_list<RotationKey> keys, int flags = 0) {
    return quorvel::testing::preparedTrack<RotationTrack>(keys, flags);
}

void expectQuatNear(const Quat& expected, const Quat& actual, float eps = 1e-5f) {
    EXPECT_NEAR(expected.x, actual.x, eps);
    EXPECT_NEAR(expected.y, actual.y, eps);
    EXPECT_NEAR(expected.z, actual.z, eps);
    EXPECT_NEAR(expected.w, actual.w, eps);
}

// Same rotation, either sign.
void expectSameRotation(const Quat& expected, const Quat& actual, float eps = 1e-5f) {
    EXPECT_NEAR(1.0f, std::fabs(quatDot(expected, actual)), eps);
}

Quat at(RotationTrack& track, float frame) {
    Quat q{};
    track.evaluate(frame, q);
    return q;
}

// Direction of the x axis after a rotation about z: its angle, blind to the quaternion's sign.
double zAngle(const Quat& q) {
    return std::atan2(2.0 * (q.x * q.y + q.z * q.w), 1.0 - 2.0 * (q.y * q.y + q.z * q.z));
}

Quat conjugate(const Quat& q) { return {-q.x, -q.y, -q.z, q.w}; }

// Logarithm of a unit quaternion, taken on the side with w >= 0.
Quat logPositive(Quat q) {
    if (q.w < 0) q = quatScale(-1, q);
    const double v = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (v < 1e-12) return {0, 0, 0, 0};
    const double f = std::atan2(v, double(q.w)) / v;
    return {float(q.x * f), float(q.y * f), float(q.z * f), 0};
}

// Textbook squad control of key i from the absolute orientations of its neighbours.
Quat squadControl(const Quat& prev, const Quat& cur, const Quat& next) {
    const Quat toNext = logPositive(quatMul(conjugate(cur), next));
    const Quat toPrev = logPositive(quatMul(conjugate(cur), prev));
    return quatMul(cur, quatExp(quatScale(-0.25f, quatAdd(toNext, toPrev))));
}

}  // namespace

TEST(RotationPreparation, NegativeAnglesTurnTheAxisRound) {
    RotationTrack track = makeTrack({key(0, -0.5f, 1, 2, 3), key(10, -1.0f, 0, 0, 1)});
    EXPECT_FLOAT_EQ(0.5f, track.keys[0].angle);
    EXPECT_FLOAT_EQ(-1, track.keys[0].axis[0]);
    EXPECT_FLOAT_EQ(-2, track.keys[0].axis[1]);
    EXPECT_FLOAT_EQ(-3, track.keys[0].axis[2]);
    EXPECT_FLOAT_EQ(1.0f, track.keys[1].angle);
    EXPECT_FLOAT_EQ(-1, track.keys[1].axis[2]);
}

TEST(RotationPreparation, OrientationsAccumulateRelativeKeysOnTheRight) {
    RotationTrack track = makeTrack({key(0, 0.4f, 1, 0, 0), key(10, 0.7f, 0, 1, 0), key(20, 0.2f, 0, 0, 1)});
    const Quat q0 = quatFromAxisAngle(0.4f, 1, 0, 0);
    const Quat q1 = quatMul(q0, quatFromAxisAngle(0.7f, 0, 1, 0));
    const Quat q2 = quatMul(q1, quatFromAxisAngle(0.2f, 0, 0, 1));
    expectQuatNear(q0, track.keys[0].orientation);
    expectQuatNear(q1, track.keys[1].orientation);
    expectQuatNear(q2, track.keys[2].orientation);
    EXPECT_EQ(&evaluateSquadRotation, track.evaluator);
}

TEST(RotationPreparation, WholeTurnsAreSplitOffLaterKeysAndSelectTheMultiTurnRoutine) {
    RotationTrack track = makeTrack({zKey(0, 7.0f), zKey(10, 7.0f)});
    // The first key keeps its angle.
    EXPECT_FLOAT_EQ(7.0f, track.keys[0].angle);
    EXPECT_EQ(1, track.keys[1].turns);
    EXPECT_FLOAT_EQ(7.0f - kTwoPi, track.keys[1].angle);
    EXPECT_EQ(&evaluateMultiTurnRotation, track.evaluator);
    expectQuatNear(quatFromAxisAngle(7.0f, 0, 0, 1), track.keys[0].orientation);

    RotationTrack nearTurn = makeTrack({zKey(0, 0), zKey(10, 6.27f)});
    EXPECT_EQ(0, nearTurn.keys[1].turns);
    EXPECT_EQ(&evaluateMultiTurnRotation, nearTurn.evaluator);

    RotationTrack belowThreshold = makeTrack({zKey(0, 0), zKey(10, 6.26f)});
    EXPECT_EQ(&evaluateSquadRotation, belowThreshold.evaluator);

    // A large first key alone does not make the track spin.
    RotationTrack bigFirst = makeTrack({zKey(0, 20.0f), zKey(10, 1.0f)});
    EXPECT_EQ(&evaluateSquadRotation, bigFirst.evaluator);
}

TEST(RotationPreparation, PreparingAgainKeepsTheTurnsOfEarlierKeys) {
    RotationTrack track = makeTrack({zKey(0, 0), zKey(10, 2 * kTwoPi + 1.0f)});
    ASSERT_EQ(2, track.keys[1].turns);
    track.addKey(zKey(20, 0.5f));
    track.prepare();
    EXPECT_EQ(2, track.keys[1].turns);
    EXPECT_NEAR(1.0f, track.keys[1].angle, 1e-5f);
    EXPECT_EQ(0, track.keys[2].turns);
    EXPECT_EQ(&evaluateMultiTurnRotation, track.evaluator);
}

TEST(RotationPreparation, HugeAnglesSaturateTheTurnCount) {
    RotationTrack track = makeTrack({zKey(0, 0), zKey(10, 1e30f)});
    EXPECT_EQ(INT_MAX, track.keys[1].turns);
    EXPECT_EQ(&evaluateMultiTurnRotation, track.evaluator);
    at(track, 5);
}

TEST(RotationControls, NeutralKeysGetTheSquadControlsOfTheirNeighbours) {
    RotationTrack track =
        makeTrack({key(0, 0.3f, 1, 0, 0), key(10, 0.9f, 0, 0.6f, 0.8f), key(20, 1.2f, 0.8f, 0.6f, 0), key(30, 0.4f, 0, 1, 0)});
    for (int i = 1; i <= 2; ++i) {
        const Quat expected =
            squadControl(track.keys[i - 1].orientation, track.keys[i].orientation, track.keys[i + 1].orientation);
        expectQuatNear(expected, track.keys[i].outControl);
        expectQuatNear(expected, track.keys[i].inControl);
    }
}

TEST(RotationControls, HalfAnglesFromAQuarterTurnUpUseTheOtherSign) {
    // Key 2 turns by 4.0 rad: its step is taken as the rotation by 4.0 - 2pi (half-angle 2 - pi).
    RotationTrack track = makeTrack({zKey(0, 0), zKey(10, 1.0f), zKey(20, 4.0f)});
    const Quat expected =
        squadControl(track.keys[0].orientation, track.keys[1].orientation, track.keys[2].orientation);
    expectQuatNear(expected, track.keys[1].outControl);
    // Which is about z by 2 * (0.5 + (0.5 - (2 - pi)) / 4).
    expectQuatNear(quatFromAxisAngle(1.0f + (0.5f - (2.0f - kPi)) / 2, 0, 0, 1), track.keys[1].outControl);
}

TEST(RotationControls, UnevenSpacingWeighsTheNeighbours) {
    // Keys at 0, 10, 40 about z, steps 1.0 and 1.0: fp = 0.5, fn = 1.5, so A = 0.125 about z.
    RotationTrack uneven = makeTrack({zKey(0, 0), zKey(10, 1.0f), zKey(40, 1.0f)});
    expectQuatNear(quatFromAxisAngle(2 * (0.5f + 0.125f), 0, 0, 1), uneven.keys[1].outControl);
    expectQuatNear(quatFromAxisAngle(2 * (0.5f + 0.125f), 0, 0, 1), uneven.keys[1].inControl);
    // Evenly spaced, the same steps need no correction.
    RotationTrack even = makeTrack({zKey(0, 0), zKey(10, 1.0f), zKey(20, 1.0f)});
    expectQuatNear(even.keys[1].orientation, even.keys[1].outControl);
}

TEST(RotationControls, FullContinuityIgnoresSpacing) {
    for (float c : {1.0f, -1.0f}) {
        RotationKey mid = key(10, 0.8f, 0, 1, 0);
        mid.continuity = c;
        RotationTrack uneven = makeTrack({key(0, 0.2f, 1, 0, 0), mid, key(40, 1.1f, 0, 0, 1)});
        mid.frame = 20;
        RotationTrack even = makeTrack({key(0, 0.2f, 1, 0, 0), mid, key(40, 1.1f, 0, 0, 1)});
        expectQuatNear(even.keys[1].outControl, uneven.keys[1].outControl);
        expectQuatNear(even.keys[1].inControl, uneven.keys[1].inControl);
    }
}

TEST(RotationControls, LoopTakesTheNegatedLastControlForTheFirstKey) {
    RotationTrack track =
        makeTrack({zKey(0, 0.5f), key(10, 0.9f, 0, 1, 0), key(20, 0.6f, 1, 0, 0), zKey(30, 0.3f)}, 3);
    EXPECT_EQ(3, track.flags);
    expectQuatNear(quatScale(-1, track.keys[3].outControl), track.keys[0].outControl, 0);
    // The last key's controls look ahead to key 1 one loop later: the step into it is key 1's.
    RotationKey wrapped = track.keys[1];
    const Quat next = quatMul(track.keys[3].orientation, quatFromAxisAngle(wrapped.angle, 0, 1, 0));
    const Quat expected = squadControl(track.keys[2].orientation, track.keys[3].orientation, next);
    expectQuatNear(expected, track.keys[3].outControl);
}

TEST(RotationControls, TwoKeyLoopBecomesARepeat) {
    RotationTrack track = makeTrack({zKey(0, 0.5f), zKey(10, 0.9f)}, 3);
    EXPECT_EQ(2, track.flags);
    // With one step, both end controls are the keys' own orientations.
    expectQuatNear(track.keys[0].orientation, track.keys[0].outControl);
    expectQuatNear(track.keys[1].orientation, track.keys[1].inControl);
}

TEST(RotationEvaluation, HitsKeysClampsAndWraps) {
    RotationTrack track = makeTrack({key(0, 0.4f, 1, 0, 0), key(10, 0.7f, 0, 1, 0), key(30, 0.2f, 0, 0, 1)});
    expectQuatNear(track.keys[0].orientation, at(track, -4));
    expectQuatNear(track.keys[2].orientation, at(track, 31));
    expectQuatNear(track.keys[2].orientation, at(track, 30));
    expectQuatNear(track.keys[0].orientation, at(track, 0));
    RotationTrack fresh = makeTrack({key(0, 0.4f, 1, 0, 0), key(10, 0.7f, 0, 1, 0), key(30, 0.2f, 0, 0, 1)});
    expectQuatNear(fresh.keys[1].orientation, at(fresh, 10));
    EXPECT_EQ(0, fresh.cursor);

    RotationTrack repeating = makeTrack({key(0, 0.4f, 1, 0, 0), key(10, 0.7f, 0, 1, 0), key(30, 0.2f, 0, 0, 1)}, 2);
    const Quat direct = at(repeating, 17);
    expectQuatNear(direct, at(repeating, 47));
    expectQuatNear(direct, at(repeating, 77));
}

TEST(RotationEvaluation, SquadBlendsOrientationsAndControls) {
    RotationTrack track = makeTrack({key(0, 0.4f, 1, 0, 0), key(10, 0.7f, 0, 1, 0), key(30, 0.2f, 0, 0, 1)});
    const RotationKey& a = track.keys[1];
    const RotationKey& b = track.keys[2];
    const float d = 0.25f;
    const Quat expected =
        quatSlerp(quatSlerp(a.orientation, b.orientation, d), quatSlerp(a.outControl, b.inControl, d), 2 * d * (1 - d));
    expectQuatNear(expected, at(track, 15));
    // Decreasing times give the same values as a fresh evaluation.
    const Quat late = at(track, 25);
    const Quat early = at(track, 5);
    RotationTrack fresh = makeTrack({key(0, 0.4f, 1, 0, 0), key(10, 0.7f, 0, 1, 0), key(30, 0.2f, 0, 0, 1)});
    expectQuatNear(at(fresh, 5), early);
    expectQuatNear(at(fresh, 25), late);
}

TEST(RotationEvaluation, SingleKeyGivesItsOrientation) {
    RotationTrack track = makeTrack({key(3, -1.0f, 0, 1, 0)});
    EXPECT_EQ(&evaluateSingleKeyRotation, track.evaluator);
    expectQuatNear(quatFromAxisAngle(1.0f, 0, -1, 0), at(track, 0));
    expectQuatNear(quatFromAxisAngle(1.0f, 0, -1, 0), at(track, 500));
}

namespace {

// Samples a segment of a z-axis track and returns the unwrapped rotation angles.
std::vector<double> unwrappedAngles(RotationTrack& track, float from, float to, int samples) {
    std::vector<double> angles;
    double previous = 0, offset = 0;
    for (int i = 0; i <= samples; ++i) {
        const double a = zAngle(at(track, from + (to - from) * i / samples));
        if (i > 0) {
            if (a - previous > kPi) offset -= 2 * kPi;
            if (a - previous < -kPi) offset += 2 * kPi;
        }
        previous = a;
        angles.push_back(a + offset);
    }
    return angles;
}

}  // namespace

TEST(MultiTurnEvaluation, SpinsThroughEveryTurnInOneDirection) {
    for (int turns : {1, 2, 3}) {
        RotationTrack track = makeTrack({zKey(0, 0), zKey(100, turns * kTwoPi + 1.0f)});
        ASSERT_EQ(turns, track.keys[1].turns);
        const std::vector<double> angles = unwrappedAngles(track, 0, 100, 2000);
        for (size_t i = 1; i < angles.size(); ++i) ASSERT_GE(angles[i], angles[i - 1] - 1e-4) << "turns " << turns << " sample " << i;
        EXPECT_NEAR(turns * 2 * M_PI + 1.0, angles.back() - angles.front(), 1e-3) << "turns " << turns;
        expectQuatNear(track.keys[1].orientation, at(track, 100));
    }
}

TEST(MultiTurnEvaluation, MiddlePartSpinsAtConstantSpeed) {
    RotationTrack track = makeTrack({zKey(0, 0), zKey(100, 2 * kTwoPi + 1.0f)});
    const double theta = 2 * 2 * M_PI + 1.0;
    const double k = M_PI / theta;
    // Inside [k, 1 - k] the angle is d * theta: equal frame steps give equal angle steps.
    const float from = float(100 * k) + 1, to = float(100 * (1 - k)) - 1;
    const std::vector<double> angles = unwrappedAngles(track, from, to, 200);
    const double step = theta * (to - from) / 100 / 200;
    for (size_t i = 1; i < angles.size(); ++i) EXPECT_NEAR(step, angles[i] - angles[i - 1], 1e-4);
    EXPECT_NEAR(std::remainder(theta * from / 100 - zAngle(at(track, from)), 2 * M_PI), 0.0, 1e-4);
}

TEST(MultiTurnEvaluation, EasedTimeDrivesTheSpin) {
    RotationKey start = zKey(0, 0);
    start.easeFrom = 0.5f;
    RotationTrack eased = makeTrack({start, zKey(100, kTwoPi + 2.0f)});
    RotationTrack plain = makeTrack({zKey(0, 0), zKey(100, kTwoPi + 2.0f)});
    // ease(0.5, 0.5, 0) = 1 / 3: the eased track is where the plain one is a third of the way.
    expectSameRotation(at(plain, 100.0f / 3), at(eased, 50));
}

TEST(MultiTurnEvaluation, ExactlyOneTurnPassesTheHalfTurnWithoutNaN) {
    RotationTrack track = makeTrack({zKey(0, 0), zKey(100, kTwoPi)});
    ASSERT_EQ(1, track.keys[1].turns);
    ASSERT_EQ(0.0f, track.keys[1].angle);
    const Quat half = at(track, 50);
    EXPECT_FALSE(std::isnan(half.x) || std::isnan(half.y) || std::isnan(half.z) || std::isnan(half.w));
    expectSameRotation(quatFromAxisAngle(kPi, 0, 0, 1), half);
}

TEST(MultiTurnEvaluation, NearlyFullTurnWithoutWholeTurnsGoesTheLongWay) {
    // 6.27 rad about z with no whole turn: the routine spins forward through the whole angle
    // instead of squad's short step backwards.
    RotationTrack track = makeTrack({zKey(0, 0), zKey(100, 6.27f)});
    const std::vector<double> angles = unwrappedAngles(track, 0, 100, 1000);
    EXPECT_NEAR(6.27, angles.back() - angles.front(), 1e-3);
    expectSameRotation(quatFromAxisAngle(6.27f * 0.3f, 0, 0, 1), at(track, 30));
}
