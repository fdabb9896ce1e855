// Frame rates as fractions, the times and sound of frames, and which frames a capture writes.
#include <gtest/gtest.h>

#include <cmath>

#include "FrameRate.h"
#include "FrameWindow.h"

using namespace quorvel::capture;

TEST(FrameRate, ReadsNumbersAndFractionsExactly) {
    const auto ntsc = parseFrameRate("60000/1001");
    ASSERT_TRUE(ntsc);
    EXPECT_EQ(ntsc->text(), "60000/1001");
    const auto decimal = parseFrameRate("29.97");
    ASSERT_TRUE(decimal);
    EXPECT_EQ(decimal->numerator, 2997);
    EXPECT_EQ(decimal->denominator, 100);
    // Fractions are kept in lowest terms, whole rates print as whole numbers.
    EXPECT_EQ(parseFrameRate("50/2")->text(), "25");
    EXPECT_EQ(parseFrameRate("30")->text(), "30");
    EXPECT_EQ(parseFrameRate("1e3")->text(), "1000");
    for (const char* bad : {"", "0", "-30", "30/0", "0/5", "30/-1", "a/b", "1001", "30/", "/30", "nan", "inf"}) {
        EXPECT_FALSE(parseFrameRate(bad)) << bad;
    }
}

TEST(FrameRate, SoundOfFramesAddsUpWithoutDrift) {
    const FrameRate ntsc{60000, 1001};
    // An hour of frames: the sample position is the exact rounded product, not a sum of
    // per-frame roundings.
    const std::int64_t hour = 60 * 60 * 60000 / 1001;
    EXPECT_EQ(ntsc.sampleAt(hour, 44100), static_cast<std::uint64_t>(std::llround(hour * 44100.0 * 1001 / 60000)));
    EXPECT_EQ(ntsc.sampleAt(0, 44100), 0u);
    // Every frame gets 735 or 736 samples at 59.94 frames a second.
    for (std::int64_t k = 0; k < 2000; ++k) {
        const auto samples = ntsc.sampleAt(k + 1, 44100) - ntsc.sampleAt(k, 44100);
        EXPECT_TRUE(samples == 735 || samples == 736) << k;
    }
    EXPECT_EQ((FrameRate{30, 1}.sampleAt(30, 44100)), 44100u);
    EXPECT_DOUBLE_EQ((FrameRate{30, 1}.timeOf(45)), 1.5);
}

TEST(FrameWindow, PicturesIncludeBothEndsVideosOnlyTheStart) {
    WindowRequest request;
    request.rate = {30, 1};
    request.demoEnd = 60;
    // The whole show: pictures also get the frame at the end time, a video stops before it.
    EXPECT_EQ(frameWindow(request).first, 0);
    EXPECT_EQ(frameWindow(request).end, 1801);
    request.endExclusive = true;
    EXPECT_EQ(frameWindow(request).end, 1800);

    request.from = 10.0;
    request.to = 12.0;
    EXPECT_EQ(frameWindow(request).first, 300);
    EXPECT_EQ(frameWindow(request).count(), 60);
    request.endExclusive = false;
    EXPECT_EQ(frameWindow(request).count(), 61);
}

TEST(FrameWindow, VideoSegmentsJoinWithoutGapOrRepeat) {
    WindowRequest request;
    request.rate = {60000, 1001};
    request.demoStart = 5;
    request.demoEnd = 100;
    request.endExclusive = true;
    const double bounds[] = {5.0, 17.3, 42.0, 61.25, 100.0};
    std::int64_t total = 0;
    FrameWindow previous{};
    for (size_t i = 0; i + 1 < std::size(bounds); ++i) {
        request.from = bounds[i];
        request.to = bounds[i + 1];
        const FrameWindow piece = frameWindow(request);
        if (i > 0) {
            EXPECT_EQ(piece.first, previous.end) << bounds[i];
        }
        total += piece.count();
        previous = piece;
    }
    request.from = bounds[0];
    request.to = bounds[std::size(bounds) - 1];
    EXPECT_EQ(total, frameWindow(request).count());
}

TEST(FrameWindow, ClampsToTheShow) {
    WindowRequest request;
    request.rate = {25, 1};
    request.demoStart = 10;
    request.demoEnd = 20;
    request.from = 3.0;  // before the start
    request.to = 99.0;   // after the end
    EXPECT_EQ(frameWindow(request).first, 0);
    EXPECT_EQ(frameWindow(request).end, 251);
    request.endExclusive = true;
    EXPECT_EQ(frameWindow(request).end, 251);  // the frame at the end time exists

    request.from = 30.0;  // after the end: nothing
    EXPECT_EQ(frameWindow(request).count(), 0);
    // A from between two frames starts at the next one.
    request.from = 10.05;
    request.to = 11.0;
    EXPECT_EQ(frameWindow(request).first, 2);
}
