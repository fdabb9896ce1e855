// Frame times of a --measure run, timed at each presented frame. The first frame is reported
// on its own, as the time from program start to its presentation: it carries the loading and
// the first use of every resource, and counted among the frame times it would pose as the show's
// worst hitch. Every later frame's time runs from the previous frame's presentation to its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::capture {

class FrameStatistics {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit FrameStatistics(TimePoint programStart) : programStart_(programStart) {}

    // Frame `frame`, showing `demoTime`, was presented at `when`.
    void presented(TimePoint when, std::int64_t frame, double demoTime);

    struct Summary {
        double firstFrameMs = 0.0;     // program start to the first presentation
        size_t laterFrames = 0;        // frames timed after the first
        double framesPerSecond = 0.0;  // over the later frames
        double medianMs = 0.0;
        double percentile99Ms = 0.0;
        double worstMs = 0.0;
        double worstDemoTime = 0.0;
    };
    // Nothing before the first frame was presented.
    std::optional<Summary> summary() const;

    // The summary as two lines of text.
    void report(std::FILE* out) const;
    // Every frame as "frame,demo_time_s,frame_time_ms"; the first row is the first frame, timed
    // from program start. False when the file cannot be written.
    bool writeCsv(const std::string& path) const;

private:
    struct Sample {
        std::int64_t frame;
        double demoTime;
        double milliseconds;
    };

    TimePoint programStart_;
    TimePoint lastPresented_{};
    std::vector<Sample> samples_;
};

}  // namespace quorvel::capture
