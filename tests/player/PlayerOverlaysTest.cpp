// The text of the player's time overlay: the clock reading and one line per active layer.
#include "engine/PlayerOverlays.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(PlayerOverlaysTest, TimeOverlayText) {
    EXPECT_EQ(clockText(0.0f), "00:00.00");
    EXPECT_EQ(clockText(59.999f), "01:00.00");
    EXPECT_EQ(clockText(754.5f), "12:34.50");
    EXPECT_EQ(clockText(6000.0f), "100:00.00");
    EXPECT_EQ(clockText(-1.5f), "-00:01.50");

    Layer layers[3];
    layers[2].events[0].className = "scene";
    layers[2].events[0].startTime = 10.0f;
    layers[2].eventCount = 1;
    layers[2].currentEvent = &layers[2].events[0];
    layers[2].active = true;
    layers[1].currentEvent = &layers[2].events[0];  // left over from an earlier event: not active
    EXPECT_EQ(timeLines(72.25f, true, layers, 3),
              (std::vector<std::string>{"Time 72.25 s  (01:12.25)", "Paused", "Layer 2: scene, 62.25 s"}));
}

}  // namespace
}  // namespace quorvel
