#include <gtest/gtest.h>

#include <cmath>

#include "anim/Quat.h"

namespace {

void expectQuatNear(const Quat& expected, const Quat& actual, float eps = 1e-6f) {
    EXPECT_NEAR(expected.x, actual.x, eps);
    EXPECT_NEAR(expected.y, actual.y, eps);
    EXPECT_NEAR(expected.z, actual.z, eps);
    EXPECT_NEAR(expected.w, actual.w, eps);
}

}  // namespace

TEST(QuatArithmetic, FromAxisAngleUsesTheHalfAngleAndKeepsTheAxisLength) {
    expectQuatNear({0, 0, std::sin(0.6f), std::cos(0.6f)}, quatFromAxisAngle(1.2f, 0, 0, 1));
    // The axis is not normalised: its length scales the vector part.
    expectQuatNear({2 * std::sin(0.6f), 0, 0, std::cos(0.6f)}, quatFromAxisAngle(1.2f, 2, 0, 0));
}

TEST(QuatArithmetic, MulIsTheHamiltonProductWithTheLeftOperandFirst) {
    const Quat i{1, 0, 0, 0}, j{0, 1, 0, 0}, k{0, 0, 1, 0};
    expectQuatNear(k, quatMul(i, j));
    expectQuatNear({0, 0, -1, 0}, quatMul(j, i));
    expectQuatNear(i, quatMul(j, k));

    const Quat a{1, 2, 3, 4}, b{-2, 0.5f, 1, 3};
    // w = 12 + 2 - 1 - 3; x = -8 + 3 + 2 - 1.5; y = 2 + 6 - 6 - 1; z = 4 + 9 + 0.5 + 4.
    const Quat expected{-4.5f, 1, 17.5f, 10};
    expectQuatNear(expected, quatMul(a, b));
    Quat aliased = a;
    aliased = quatMul(aliased, b);
    expectQuatNear(expected, aliased);
}

TEST(QuatArithmetic, ExpOfAPureQuaternionIsARotationByTwiceItsLength) {
    // exp(h * axis) is the rotation by 2h about the unit axis; v.w is ignored.
    const Quat e = quatExp({0, 0.3f, 0.4f, 123});
    const float s = std::sin(0.5f) / 0.5f;
    expectQuatNear({0, 0.3f * s, 0.4f * s, std::cos(0.5f)}, e);
    // With |sin| below 0.001 the vector part is kept unchanged.
    expectQuatNear({0.0004f, 0, 0, std::cos(0.0004f)}, quatExp({0.0004f, 0, 0, 0}));
}

TEST(QuatArithmetic, ScaleAddDotAndNormalize) {
    const Quat a{1, -2, 3, 0.5f}, b{2, 1, 0, 4};
    expectQuatNear({-2, 4, -6, -1}, quatScale(-2, a));
    expectQuatNear({3, -1, 3, 4.5f}, quatAdd(a, b));
    EXPECT_FLOAT_EQ(2.0f, quatDot(a, b));
    expectQuatNear({0.5f, 0.5f, -0.5f, 0.5f}, quatNormalize({2, 2, -2, 2}));
    // A zero quaternion stays zero instead of turning into NaN.
    expectQuatNear({0, 0, 0, 0}, quatNormalize({0, 0, 0, 0}), 0);
}

TEST(QuatSlerp, FollowsTheGreatArcAtConstantSpeed) {
    const Quat a = quatFromAxisAngle(0, 0, 0, 1);
    const Quat b = quatFromAxisAngle(1.6f, 0, 0, 1);
    expectQuatNear(a, quatSlerp(a, b, 0));
    expectQuatNear(b, quatSlerp(a, b, 1));
    expectQuatNear(quatFromAxisAngle(0.4f, 0, 0, 1), quatSlerp(a, b, 0.25f));
    expectQuatNear(quatFromAxisAngle(1.2f, 0, 0, 1), quatSlerp(a, b, 0.75f));
}

TEST(QuatSlerp, BlendsLinearlyBelowTheThreshold) {
    // 0.0008 apart on the quaternion sphere: the normalised linear blend, not the arc.
    const Quat a{0, 0, 0, 1};
    const Quat b{0.0008f, 0, 0, std::sqrt(1 - 0.0008f * 0.0008f)};
    const Quat r = quatSlerp(a, b, 0.3f);
    const Quat linear = quatNormalize(quatAdd(quatScale(0.7f, a), quatScale(0.3f, b)));
    expectQuatNear(linear, r, 1e-7f);
    // Unnormalised inputs whose dot exceeds 1 also take the linear blend.
    const Quat big{0, 0, 0, 2};
    expectQuatNear({0, 0, 0, 1}, quatSlerp(big, big, 0.5f));
}

TEST(QuatSlerp, OppositeHemispheresTakeTheLongerArc) {
    // b is the 0.2 rad rotation with its sign flipped; no hemisphere test shortens the way,
    // so halfway lies on the long side of the sphere.
    const Quat a{0, 0, 0, 1};
    const Quat b = quatScale(-1, quatFromAxisAngle(0.2f, 0, 0, 1));
    const Quat mid = quatSlerp(a, b, 0.5f);
    // The quaternion arc from a to b is pi - 0.1; halfway is at (pi - 0.1) / 2 from a.
    const float half = (3.14159265f - 0.1f) / 2;
    expectQuatNear({0, 0, -std::sin(half), std::cos(half)}, mid, 1e-5f);

    // Exactly opposite quaternions (the same rotation) give numbers, not NaN.
    const Quat q = quatFromAxisAngle(0.8f, 0, 1, 0);
    expectQuatNear(q, quatSlerp(q, quatScale(-1, q), 0));
    for (float t : {0.1f, 0.7f, 1.0f}) {
        const Quat r = quatSlerp(q, quatScale(-1, q), t);
        EXPECT_FALSE(std::isnan(r.x) || std::isnan(r.y) || std::isnan(r.z) || std::isnan(r.w)) << t;
    }
}
