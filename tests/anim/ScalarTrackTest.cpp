#include <gtest/gtest.h>

#include <initializer_list>

#include "anim/Track.h"
#include "support/TrackKeys.h"

using quorvel::testing::scalarKey;

namespace {

ScalarTrack makeTrack(std::initializer_list<ScalarKey> keys, int flags = 0) {
    return quorvel::testing::preparedTrack<ScalarTrack>(keys, flags);
}

}  // namespace

TEST(ScalarTrack, InterpolatesLinearlyAndIgnoresEaseAndTcb) {
    ScalarKey a = scalarKey(0, 10);
    a.easeFrom = 1;
    a.tension = 0.5f;
    ScalarKey b = scalarKey(20, 30);
    b.easeTo = 1;
    b.bias = -1;
    ScalarTrack track = makeTrack({a, b, scalarKey(40, 0)});
    EXPECT_FLOAT_EQ(15, evaluateScalar(track, 5));
    EXPECT_FLOAT_EQ(30, evaluateScalar(track, 20));
    EXPECT_EQ(0, track.cursor);
    EXPECT_FLOAT_EQ(7.5f, evaluateScalar(track, 35));
    EXPECT_FLOAT_EQ(10, evaluateScalar(track, -1));
    EXPECT_FLOAT_EQ(0, evaluateScalar(track, 41));
    // Backwards again after the cursor moved on.
    EXPECT_FLOAT_EQ(20, evaluateScalar(track, 10));
}

TEST(ScalarTrack, RepeatsAndLoopsWrapTime) {
    ScalarTrack track = makeTrack({scalarKey(0, 0), scalarKey(10, 100), scalarKey(20, 50)}, 1);
    EXPECT_FLOAT_EQ(50, evaluateScalar(track, 25));
    EXPECT_FLOAT_EQ(75, evaluateScalar(track, 15 + 20 * 7));
    ScalarTrack two = makeTrack({scalarKey(0, 0), scalarKey(10, 100)}, 3);
    EXPECT_EQ(2, two.flags);
    EXPECT_FLOAT_EQ(30, evaluateScalar(two, 13));
}

TEST(ScalarTrack, SingleAndEmptyTracks) {
    ScalarTrack single = makeTrack({scalarKey(12, -4)});
    EXPECT_FLOAT_EQ(-4, evaluateScalar(single, 0));
    EXPECT_FLOAT_EQ(-4, evaluateScalar(single, 1000));
    // A camera of a scene without keyframer data has empty tracks; evaluating one reads nothing.
    ScalarTrack empty = makeTrack({});
    EXPECT_EQ(0, empty.keyCount);
    EXPECT_FLOAT_EQ(0, evaluateScalar(empty, 3));
}
