#include "shell/FrameTimer.h"

#include "platform/time/ManualClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace quorvel {
namespace {

using platform::ManualClock;

class FrameTimerTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        clock.set(10.0);
        clock.setCounterAvailable(GetParam());
        useFrameTimerClock(&clock);
    }
    void TearDown() override { useFrameTimerClock(nullptr); }

    ManualClock clock;
};

// Both sources share these semantics; the manual clock moves in whole milliseconds so the
// millisecond source sees the same times as the counter.
TEST_P(FrameTimerTest, ApplicationTimeStartsAtZeroAndStandsStillWhileStopped) {
    EXPECT_FLOAT_EQ(frameTimer(ClockStart), 0.0f);
    EXPECT_FLOAT_EQ(frameTimer(ClockAppTime), 0.0f);
    clock.advance(1.5);
    EXPECT_FLOAT_EQ(frameTimer(ClockAppTime), 1.5f);

    EXPECT_FLOAT_EQ(frameTimer(ClockStop), 0.0f);
    clock.advance(2.0);
    EXPECT_FLOAT_EQ(frameTimer(ClockAppTime), 1.5f);
    frameTimer(ClockStart);
    EXPECT_FLOAT_EQ(frameTimer(ClockAppTime), 1.5f);
    clock.advance(0.25);
    EXPECT_FLOAT_EQ(frameTimer(ClockAppTime), 1.75f);
}

TEST_P(FrameTimerTest, SecondStopKeepsTheFirstStopTime) {
    frameTimer(ClockStart);
    clock.advance(1.0);
    frameTimer(ClockStop);
    clock.advance(3.0);
    frameTimer(ClockStop);
    clock.advance(1.0);
    frameTimer(ClockStart);
    EXPECT_FLOAT_EQ(frameTimer(ClockAppTime), 1.0f);
}

TEST_P(FrameTimerTest, AbsoluteTimeKeepsRunningWhileStopped) {
    frameTimer(ClockStart);
    frameTimer(ClockStop);
    const float before = frameTimer(ClockAbsolute);
    EXPECT_FLOAT_EQ(before, 10.0f);
    clock.advance(2.0);
    EXPECT_FLOAT_EQ(frameTimer(ClockAbsolute) - before, 2.0f);
}

TEST_P(FrameTimerTest, ElapsedMeasuresBetweenQueriesAndFromStart) {
    frameTimer(ClockStart);
    clock.advance(0.5);
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.5f);
    clock.advance(0.125);
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.125f);
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.0f);
}

TEST_P(FrameTimerTest, ElapsedTwiceWhileStoppedGivesZeroTheSecondTime) {
    frameTimer(ClockStart);
    clock.advance(1.0);
    frameTimer(ClockElapsed);
    clock.advance(0.5);
    frameTimer(ClockStop);
    clock.advance(4.0);
    frameTimer(ClockElapsed);
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.0f);
}

TEST_P(FrameTimerTest, ElapsedAfterRestartCountsOnlyFromTheRestart) {
    frameTimer(ClockStart);
    frameTimer(ClockStop);
    clock.advance(5.0);
    frameTimer(ClockStart);
    clock.advance(0.75);
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.75f);
}

INSTANTIATE_TEST_SUITE_P(Sources, FrameTimerTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Counter" : "Milliseconds"; });

// The two sources differ in one respect: a stop resets the counter's last-elapsed reading but
// not the millisecond clock's.
class FrameTimerSourceTest : public ::testing::Test {
protected:
    void TearDown() override { useFrameTimerClock(nullptr); }

    // Starts, looks at the elapsed time after 1 s, stops 0.5 s later and lets 2 s pass.
    void runLookStopAndWait() {
        frameTimer(ClockStart);
        clock.advance(1.0);
        frameTimer(ClockElapsed);
        clock.advance(0.5);
        frameTimer(ClockStop);
        clock.advance(2.0);
    }

    ManualClock clock{20.0};
};

TEST_F(FrameTimerSourceTest, CounterReportsNothingElapsedInTheFirstQueryAfterAStop) {
    useFrameTimerClock(&clock);
    runLookStopAndWait();
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.0f);
}

TEST_F(FrameTimerSourceTest, MillisecondClockReportsTheTimeUpToTheStopAfterAStop) {
    clock.setCounterAvailable(false);
    useFrameTimerClock(&clock);
    runLookStopAndWait();
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.5f);
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.0f);
}

TEST_F(FrameTimerSourceTest, SourceIsChosenOnceAtTheFirstCall) {
    useFrameTimerClock(&clock);
    frameTimer(ClockStart);
    // Losing the counter later changes nothing: the counter stays the source.
    clock.setCounterAvailable(false);
    clock.advance(0.0004);
    EXPECT_NEAR(frameTimer(ClockElapsed), 0.0004f, 1e-7f);
}

TEST_F(FrameTimerSourceTest, MillisecondClockHasMillisecondResolution) {
    clock.setCounterAvailable(false);
    useFrameTimerClock(&clock);
    frameTimer(ClockStart);
    clock.advance(0.0004);
    EXPECT_FLOAT_EQ(frameTimer(ClockElapsed), 0.0f);
}

TEST(FrameTimerSystemClock, ApplicationTimeFollowsTheRealClockAndStandsStillWhileStopped) {
    useFrameTimerClock(nullptr);
    frameTimer(ClockStart);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const float running = frameTimer(ClockAppTime);
    EXPECT_GE(running, 0.015f);
    EXPECT_LT(running, 5.0f);
    frameTimer(ClockStop);
    const float stopped = frameTimer(ClockAppTime);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FLOAT_EQ(frameTimer(ClockAppTime), stopped);
    useFrameTimerClock(nullptr);
}

}  // namespace
}  // namespace quorvel
