#include <gtest/gtest.h>

#include <cmath>

#include "platform/d3dx8/d3dx8math.h"

namespace {

constexpr float kEps = 1e-5f;

D3DXMATRIX fromRows(std::initializer_list<float> values) {
    D3DXMATRIX m;
    auto it = values.begin();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = *it++;
    return m;
}

void expectMatrixNear(const D3DXMATRIX& expected, const D3DXMATRIX& actual, float eps = kEps) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(expected.m[r][c], actual.m[r][c], eps) << "element " << r + 1 << c + 1;
}

void expectVectorNear(float x, float y, float z, const D3DXVECTOR3& v, float eps = kEps) {
    EXPECT_NEAR(x, v.x, eps);
    EXPECT_NEAR(y, v.y, eps);
    EXPECT_NEAR(z, v.z, eps);
}

D3DXVECTOR3 transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

D3DXMATRIX identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

}  // namespace

TEST(MatrixBasics, IdentityOverwritesEveryElement) {
    D3DXMATRIX m = fromRows({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    D3DXMatrixIdentity(&m);
    expectMatrixNear(fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}), m, 0);
}

TEST(MatrixBasics, MultiplyPutsTheFirstMatrixOnTheLeftAndAllowsAliasing) {
    const D3DXMATRIX a = fromRows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    const D3DXMATRIX b = fromRows({2, 0, 0, 1, 0, 1, 0, 0, 1, 0, 3, 0, 0, 2, 0, 1});
    // Row 1 of a times b: (1*2 + 3*1, 2*1 + 4*2, 3*3, 1*1 + 4*1).
    const D3DXMATRIX expected = fromRows({5, 10, 9, 5, 17, 22, 21, 13, 29, 34, 33, 21, 41, 46, 45, 29});
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &a, &b);
    expectMatrixNear(expected, product);

    D3DXMATRIX inPlace = a;
    EXPECT_EQ(&inPlace, D3DXMatrixMultiply(&inPlace, &inPlace, &b));
    expectMatrixNear(expected, inPlace);
}

TEST(MatrixBasics, ScalingThenTranslationMovesRowVectorsInThatOrder) {
    D3DXMATRIX s, t, st;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixTranslation(&t, 10, 20, 30);
    D3DXMatrixMultiply(&st, &s, &t);
    expectVectorNear(12, 23, 34, transform({1, 1, 1}, st));
    EXPECT_FLOAT_EQ(10, t._41);
    EXPECT_FLOAT_EQ(20, t._42);
    EXPECT_FLOAT_EQ(30, t._43);
}

TEST(MatrixBasics, RotationZTurnsXTowardsYAndRollsTheUpVector) {
    D3DXMATRIX r;
    D3DXMatrixRotationZ(&r, 0.5f * 3.14159265f);
    expectVectorNear(0, 1, 0, transform({1, 0, 0}, r));
    // A camera roll of 90 degrees gives the up vector (-1, 0, 0).
    expectVectorNear(-1, 0, 0, transform({0, 1, 0}, r));
    expectVectorNear(0, 0, 1, transform({0, 0, 1}, r));
}

TEST(MatrixRotationQuaternion, RotatesAPointAsTheAxisAngleRotation) {
    // Axis (1, 2, 3) normalised, angle 0.7: compare with Rodrigues' formula in double precision.
    const double len = std::sqrt(14.0);
    const double n[3] = {1 / len, 2 / len, 3 / len};
    const double angle = 0.7;
    const double p[3] = {0.4, -1.3, 2.2};
    const double c = std::cos(angle), s = std::sin(angle);
    const double nDotP = n[0] * p[0] + n[1] * p[1] + n[2] * p[2];
    const double nCrossP[3] = {n[1] * p[2] - n[2] * p[1], n[2] * p[0] - n[0] * p[2], n[0] * p[1] - n[1] * p[0]};
    double expected[3];
    for (int k = 0; k < 3; ++k) expected[k] = p[k] * c + nCrossP[k] * s + n[k] * nDotP * (1 - c);

    const double h = std::sin(angle / 2);
    const D3DXQUATERNION q{float(n[0] * h), float(n[1] * h), float(n[2] * h), float(std::cos(angle / 2))};
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    expectVectorNear(float(expected[0]), float(expected[1]), float(expected[2]),
                     transform({float(p[0]), float(p[1]), float(p[2])}, m));
    // A pure rotation keeps the last row and column of the identity.
    EXPECT_FLOAT_EQ(0, m._14);
    EXPECT_FLOAT_EQ(0, m._41);
    EXPECT_FLOAT_EQ(1, m._44);
}

TEST(MatrixRotationQuaternion, AgreesWithRotationZForAQuaternionAboutZ) {
    const float angle = 1.1f;
    const D3DXQUATERNION q{0, 0, std::sin(angle / 2), std::cos(angle / 2)};
    D3DXMATRIX fromQuat, fromAngle;
    D3DXMatrixRotationQuaternion(&fromQuat, &q);
    D3DXMatrixRotationZ(&fromAngle, angle);
    expectMatrixNear(fromAngle, fromQuat);
}

TEST(MatrixInverse, TimesTheOriginalGivesIdentity) {
    const D3DXMATRIX m = fromRows({2, 1, 0, 0, -1, 3, 0.5f, 0, 0.25f, 0, 4, 0.1f, 7, -2, 5, 1});
    D3DXMATRIX inv;
    float det = 0;
    ASSERT_EQ(&inv, D3DXMatrixInverse(&inv, &det, &m));
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &m, &inv);
    expectMatrixNear(identity(), product, 1e-5f);
    D3DXMatrixMultiply(&product, &inv, &m);
    expectMatrixNear(identity(), product, 1e-5f);
}

TEST(MatrixInverse, ReportsTheDeterminantAndWorksInPlace) {
    D3DXMATRIX m = fromRows({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1});
    float det = 0;
    ASSERT_NE(nullptr, D3DXMatrixInverse(&m, &det, &m));
    EXPECT_FLOAT_EQ(24, det);
    const D3DXMATRIX expected = fromRows({0.5f, 0, 0, 0, 0, 1 / 3.0f, 0, 0, 0, 0, 0.25f, 0, -2.5f, -2, -1.75f, 1});
    expectMatrixNear(expected, m);
    // The determinant is optional.
    EXPECT_NE(nullptr, D3DXMatrixInverse(&m, nullptr, &m));
}

TEST(MatrixInverse, SingularMatrixGivesNullAndLeavesTheOutputAlone) {
    // Third row is the sum of the first two.
    const D3DXMATRIX singular = fromRows({1, 2, 3, 0, 4, 5, 6, 0, 5, 7, 9, 0, 1, 1, 1, 1});
    D3DXMATRIX out = fromRows({7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
    float det = 99;
    EXPECT_EQ(nullptr, D3DXMatrixInverse(&out, &det, &singular));
    EXPECT_FLOAT_EQ(0, det);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(7.0f, out.m[r][c]);
}

TEST(Vec3Normalize, ScalesToUnitLengthAndKeepsZeroAsZero) {
    D3DXVECTOR3 v(3, 0, -4);
    D3DXVec3Normalize(&v, &v);
    expectVectorNear(0.6f, 0, -0.8f, v);

    const D3DXVECTOR3 zero(0, 0, 0);
    D3DXVECTOR3 out(5, 5, 5);
    EXPECT_EQ(&out, D3DXVec3Normalize(&out, &zero));
    EXPECT_EQ(0.0f, out.x);
    EXPECT_EQ(0.0f, out.y);
    EXPECT_EQ(0.0f, out.z);
}

TEST(Vec3Hermite, PassesThroughItsEndsAndWeighsTheTangents) {
    const D3DXVECTOR3 p1(1, 2, 3), t1(4, 0, -2), p2(-1, 5, 0), t2(0, 8, 2);
    D3DXVECTOR3 out;
    D3DXVec3Hermite(&out, &p1, &t1, &p2, &t2, 0);
    expectVectorNear(1, 2, 3, out);
    D3DXVec3Hermite(&out, &p1, &t1, &p2, &t2, 1);
    expectVectorNear(-1, 5, 0, out);
    // At s = 0.5 the weights are 0.5, 0.125, 0.5, -0.125.
    D3DXVec3Hermite(&out, &p1, &t1, &p2, &t2, 0.5f);
    expectVectorNear(0.5f, 2.5f, 1.0f, out);
    // At s = 0.25: h1 = 0.84375, h2 = 0.140625, h3 = 0.15625, h4 = -0.046875.
    D3DXVec3Hermite(&out, &p1, &t1, &p2, &t2, 0.25f);
    expectVectorNear(1.25f, 2.09375f, 2.15625f, out);
}

TEST(Vec3Hermite, ChordTangentsReproduceTheStraightLine) {
    const D3DXVECTOR3 p1(0, 0, 0), p2(2, -4, 6), t(2, -4, 6);
    for (float s : {0.1f, 0.3f, 0.77f}) {
        D3DXVECTOR3 out;
        D3DXVec3Hermite(&out, &p1, &t, &p2, &t, s);
        expectVectorNear(2 * s, -4 * s, 6 * s, out);
    }
}

TEST(MatrixPerspectiveFovLH, MapsTheFrustumToTheUnitCubeWithDepthZeroToOne) {
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, 0.5f * 3.14159265f, 2.0f, 1.0f, 3.0f);
    const D3DXMATRIX expected = fromRows({0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.5f, 1, 0, 0, -1.5f, 0});
    expectMatrixNear(expected, p);
    // Near plane at depth 0, far plane at depth 1, frustum edges at +-1.
    expectVectorNear(0, 0, 0, transform({0, 0, 1}, p));
    expectVectorNear(0, 0, 1, transform({0, 0, 3}, p));
    expectVectorNear(1, -1, 0.75f, transform({4, -2, 2}, p));
}

TEST(MatrixLookAtLH, LooksDownPositiveZFromBehindTheOrigin) {
    const D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMATRIX v;
    D3DXMatrixLookAtLH(&v, &eye, &at, &up);
    expectMatrixNear(fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1}), v);
}

TEST(MatrixLookAtLH, PutsTheTargetAheadAndKeepsRightAndUpLeftHanded) {
    // Looking from +x towards the origin with y up: ahead is -x, up is +y, right is +z.
    const D3DXVECTOR3 eye(5, 0, 0), at(0, 0, 0), up(0, 3, 0);
    D3DXMATRIX v;
    D3DXMatrixLookAtLH(&v, &eye, &at, &up);
    expectVectorNear(0, 0, 0, transform(eye, v));
    expectVectorNear(0, 0, 5, transform(at, v));
    expectVectorNear(1, 0, 5, transform({0, 0, 1}, v));
    expectVectorNear(0, 1, 5, transform({0, 1, 0}, v));
    // An up vector that is not perpendicular to the view direction is straightened.
    const D3DXVECTOR3 tilted(1, 1, 0);
    D3DXMATRIX w;
    D3DXMatrixLookAtLH(&w, &eye, &at, &tilted);
    expectMatrixNear(v, w);
}
