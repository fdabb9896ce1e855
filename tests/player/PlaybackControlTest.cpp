// The player's demo clock and the text of its time overlay.
#include "engine/PlaybackControl.h"
#include "engine/PlayerOverlays.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(PlaybackControlTest, PausesHoldTheTimeAndJumpsStayInTheRange) {
    PlaybackControl clock;
    clock.restart(5.0f, 0.0f);
    EXPECT_EQ(clock.timeAt(1.25f), 5.0f + (1.25f - 0.0f));  // untouched: the show's own clock
    clock.setRange(5.0f, 20.0f);

    clock.togglePause(2.0f);
    EXPECT_FLOAT_EQ(clock.timeAt(9.0f), 7.0f);
    EXPECT_FALSE(clock.takeMusicRestart());  // the music stops; nothing to restart
    clock.jumpBy(-10.0f, 9.0f);              // held to the start, still paused
    EXPECT_TRUE(clock.takeJump());
    EXPECT_FALSE(clock.takeJump());
    EXPECT_FALSE(clock.takeMusicRestart());
    EXPECT_FLOAT_EQ(clock.timeAt(12.0f), 5.0f);

    clock.togglePause(12.0f);  // resumes from the held time
    EXPECT_TRUE(clock.takeMusicRestart());
    EXPECT_FALSE(clock.takeJump());
    EXPECT_FLOAT_EQ(clock.timeAt(13.0f), 6.0f);
    clock.jumpBy(100.0f, 13.0f);  // held to the end, running on from there
    EXPECT_TRUE(clock.takeMusicRestart());
    EXPECT_FLOAT_EQ(clock.timeAt(13.5f), 20.5f);

    clock.setRange(8.0f, 3.0f);  // a show starting after its end: jumps land on its start
    clock.jumpTo(4.0f, 14.0f);
    EXPECT_FLOAT_EQ(clock.timeAt(14.0f), 8.0f);
}

TEST(PlaybackControlTest, TimeOverlayText) {
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
