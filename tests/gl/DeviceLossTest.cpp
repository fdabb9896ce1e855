// When a device counts as lost and when it needs a reset.
#include <gtest/gtest.h>

#include "platform/gl/DeviceLoss.h"

namespace quorvel::gl {
namespace {

using State = DeviceLoss::State;

TEST(DeviceLossTest, WindowedDevicesAreNeverLost) {
    DeviceLoss loss;
    EXPECT_EQ(loss.update(true, true, false), State::None);
    EXPECT_EQ(loss.update(true, false, false), State::None);
}

TEST(DeviceLossTest, FullscreenMinimisedIsLostThenNeedsResetUntilReset) {
    DeviceLoss loss;
    EXPECT_EQ(loss.update(false, false, true), State::None);
    EXPECT_EQ(loss.update(false, true, false), State::Lost);
    EXPECT_EQ(loss.update(false, true, false), State::Lost);
    EXPECT_EQ(loss.update(false, false, true), State::NeedsReset);
    EXPECT_EQ(loss.update(false, false, true), State::NeedsReset) << "stays until the device is reset";
    loss.reset();
    EXPECT_EQ(loss.update(false, false, true), State::None);
}

TEST(DeviceLossTest, LosingTheFocusLosesTheDeviceOnlyAfterHavingHadIt) {
    DeviceLoss loss;
    // Headless or without a window manager the window never gets the focus: not lost.
    EXPECT_EQ(loss.update(false, false, false), State::None);
    EXPECT_EQ(loss.update(false, false, true), State::None);
    EXPECT_EQ(loss.update(false, false, false), State::Lost);
    EXPECT_EQ(loss.update(false, false, true), State::NeedsReset);
    // Going windowed clears everything.
    EXPECT_EQ(loss.update(true, false, false), State::None);
}

}  // namespace
}  // namespace quorvel::gl
