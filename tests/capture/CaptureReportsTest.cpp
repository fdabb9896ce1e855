// What a capture tells the user: progress while it runs, frame statistics of --measure.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "FrameStatistics.h"
#include "Progress.h"
#include "support/TempDir.h"

using namespace quorvel::capture;

namespace {

// A FILE* whose text the test can read.
class CapturedStream {
public:
    CapturedStream() : file_(open_memstream(&buffer_, &size_)) {}
    ~CapturedStream() {
        std::fclose(file_);
        std::free(buffer_);
    }
    std::FILE* file() { return file_; }
    std::string text() {
        std::fflush(file_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    std::FILE* file_;
};

}  // namespace

TEST(Progress, LogsGetAPlainLineEveryFewSeconds) {
    CapturedStream out;
    double now = 100.0;
    Progress progress(out.file(), false, 300, [&] { return now; });
    for (int frame = 1; frame <= 149; ++frame) {
        now += 1.0 / 30.0;
        progress.update(frame);
    }
    EXPECT_EQ(out.text(), "");  // under five seconds
    now = 105.0;
    progress.update(150);
    EXPECT_EQ(out.text(), "quorvel-capture: frame 150 of 300 (50.0%), 30.0 frames/s, 0:05 left\n");
    progress.finish();
    EXPECT_EQ(out.text().back(), '\n');
}

TEST(Progress, ATerminalGetsOneLineRewrittenInPlace) {
    CapturedStream out;
    double now = 0.0;
    Progress progress(out.file(), true, 9000, [&] { return now; });
    now = 0.1;
    progress.update(3);  // too soon after the start
    EXPECT_EQ(out.text(), "");
    now = 60.0;
    progress.update(1200);
    EXPECT_EQ(out.text(), "\rquorvel-capture: frame 1200 of 9000 (13.3%), 20.0 frames/s, 6:30 left\x1b[K");
    now = 60.1;
    progress.update(1201);  // too soon after the last redraw
    now = 450.0;
    progress.update(9000);  // the last frame always shows
    EXPECT_NE(out.text().find("\rquorvel-capture: frame 9000 of 9000 (100.0%), 20.0 frames/s\x1b[K"),
              std::string::npos);
    progress.finish();
    EXPECT_EQ(out.text().back(), '\n');
}

TEST(Progress, WithoutATotalCountsFrames) {
    CapturedStream out;
    double now = 0.0;
    Progress progress(out.file(), false, 0, [&] { return now; });
    now = 10.0;
    progress.update(250);
    EXPECT_EQ(out.text(), "quorvel-capture: frame 250, 25.0 frames/s\n");
}

TEST(FrameStatistics, TheFirstFrameStandsApartFromTheShow) {
    using std::chrono::milliseconds;
    const auto start = std::chrono::steady_clock::time_point{} + std::chrono::seconds(5);
    FrameStatistics statistics(start);
    auto when = start + milliseconds(250);
    statistics.presented(when, 0, 0.0);  // loading and first use: 250 ms
    for (int k = 1; k <= 200; ++k) {
        when += milliseconds(k == 120 ? 13 : k % 2 ? 4 : 5);
        statistics.presented(when, k, k / 30.0);
    }
    const auto summary = statistics.summary();
    ASSERT_TRUE(summary);
    EXPECT_DOUBLE_EQ(summary->firstFrameMs, 250.0);
    EXPECT_EQ(summary->laterFrames, 200u);
    EXPECT_DOUBLE_EQ(summary->medianMs, 4.5);
    EXPECT_DOUBLE_EQ(summary->percentile99Ms, 5.0);
    EXPECT_DOUBLE_EQ(summary->worstMs, 13.0);
    EXPECT_DOUBLE_EQ(summary->worstDemoTime, 4.0);
    EXPECT_NEAR(summary->framesPerSecond, 200.0 / 0.908, 0.01);
}

TEST(FrameStatistics, ReportAndCsv) {
    const auto start = std::chrono::steady_clock::time_point{};
    FrameStatistics statistics(start);
    EXPECT_FALSE(statistics.summary());
    statistics.presented(start + std::chrono::microseconds(123400), 30, 31.0);
    ASSERT_TRUE(statistics.summary());
    EXPECT_EQ(statistics.summary()->laterFrames, 0u);
    statistics.presented(start + std::chrono::microseconds(140000), 31, 31.5);
    statistics.presented(start + std::chrono::microseconds(150000), 32, 32.0);

    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    statistics.report(out);
    std::fclose(out);
    EXPECT_EQ(std::string(text, size),
              "quorvel-capture: first frame presented 123.4 ms after start\n"
              "quorvel-capture: 2 later frames: 75.2 frames/s, median 13.30 ms, 99th percentile 16.60 ms, "
              "worst 16.60 ms at demo time 31.500 s\n");
    std::free(text);

    quorvel::testing::TempDir dir;
    const std::string path = dir.path() + "/times.csv";
    ASSERT_TRUE(statistics.writeCsv(path));
    std::ifstream in(path);
    std::stringstream csv;
    csv << in.rdbuf();
    EXPECT_EQ(csv.str(),
              "frame,demo_time_s,frame_time_ms\n"
              "30,31.000000,123.4000\n"
              "31,31.500000,16.6000\n"
              "32,32.000000,10.0000\n");
    EXPECT_FALSE(statistics.writeCsv(dir.path() + "/missing/times.csv"));
}
