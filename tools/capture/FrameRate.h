// A capture frame rate as an exact fraction (30, 25, 60000/1001, ...), and the times and audio
// sample positions of frames at that rate. Frame k shows application time k / rate; its sound is
// the samples from sampleAt(k) up to sampleAt(k + 1), so any run of frames carries exactly the
// samples of its own stretch of time, whatever the rate.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorvel::capture {

struct FrameRate {
    std::int64_t numerator = 30;
    std::int64_t denominator = 1;

    double value() const { return static_cast<double>(numerator) / static_cast<double>(denominator); }
    // Application time of frame k in seconds.
    double timeOf(std::int64_t frame) const;
    // Index of the first sample of frame k at the given sample rate: round(k * rate / fps).
    std::uint64_t sampleAt(std::int64_t frame, std::uint32_t sampleRate) const;
    // "30" or "60000/1001", as ffmpeg reads a rate.
    std::string text() const;
};

// Reads "30", "29.97" or "60000/1001". Nothing when the text is not a rate above 0 and at most
// 1000 frames per second.
std::optional<FrameRate> parseFrameRate(const std::string& text);

}  // namespace quorvel::capture
