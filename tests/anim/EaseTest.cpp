#include <gtest/gtest.h>

#include "anim/Ease.h"

TEST(Ease, WithoutEaseIsTheIdentity) {
    for (float s : {0.0f, 0.2f, 0.5f, 0.93f, 1.0f}) EXPECT_FLOAT_EQ(s, ease(s, 0, 0));
}

TEST(Ease, OverlongPartsAreScaledToFitTheSegment) {
    // 0.6 + 0.6 becomes 0.5 + 0.5 with speed 1: 2s^2 below one half, 1 - 2(1 - s)^2 above.
    EXPECT_FLOAT_EQ(2 * 0.3f * 0.3f, ease(0.3f, 0.6f, 0.6f));
    EXPECT_FLOAT_EQ(1 - 2 * 0.2f * 0.2f, ease(0.8f, 0.6f, 0.6f));
    EXPECT_FLOAT_EQ(0.5f, ease(0.5f, 0.6f, 0.6f));
    EXPECT_FLOAT_EQ(0.0f, ease(0.0f, 0.6f, 0.6f));
    EXPECT_FLOAT_EQ(1.0f, ease(1.0f, 0.6f, 0.6f));
}

TEST(Ease, AccelerationOnlyEndsAtOne) {
    EXPECT_FLOAT_EQ(1.0f, ease(1, 0.5f, 0));
    // k = 1 / 1.5: quadratic up to 0.5, then linear.
    EXPECT_FLOAT_EQ((1 / 1.5f / 0.5f) * 0.25f * 0.25f, ease(0.25f, 0.5f, 0));
    EXPECT_FLOAT_EQ((1 / 1.5f) * (2 * 0.75f - 0.5f), ease(0.75f, 0.5f, 0));
}

TEST(Ease, IsContinuousAndMonotonicAcrossItsPieces) {
    const float pairs[][2] = {{0.3f, 0.2f}, {0, 0.4f}, {0.7f, 0}, {0.5f, 0.5f}, {0.9f, 0.8f}};
    for (const auto& p : pairs) {
        float previous = 0;
        for (int i = 0; i <= 1000; ++i) {
            const float s = i / 1000.0f;
            const float e = ease(s, p[0], p[1]);
            EXPECT_GE(e, previous - 1e-6f) << "a=" << p[0] << " b=" << p[1] << " s=" << s;
            EXPECT_LE(e - previous, 0.005f) << "jump at s=" << s;
            previous = e;
        }
        EXPECT_NEAR(1.0f, previous, 1e-6f);
    }
}
