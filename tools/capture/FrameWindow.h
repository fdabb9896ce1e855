// Which frames a capture writes. Frame k shows demo time start + k / fps. Pictures are written
// for the frames whose demo time lies in [from, to]; a video holds those in [from, to), so that
// the video of [a, b) followed by the one of [b, c) is the video of [a, c), frame for frame and
// sample for sample. Frames exist up to the show's end time (the frame at the end time itself
// is drawn; the next one ends the show).
#pragma once

#include <cstdint>
#include <optional>

#include "FrameRate.h"

namespace quorvel::capture {

struct FrameWindow {
    std::int64_t first = 0;  // index of the first frame written
    std::int64_t end = 0;    // one past the last frame written

    std::int64_t count() const { return end > first ? end - first : 0; }
    bool contains(std::int64_t frame) const { return frame >= first && frame < end; }
};

struct WindowRequest {
    FrameRate rate;
    int demoStart = 0;
    int demoEnd = 100;
    std::optional<double> from;  // demo times; none: the show's start / end
    std::optional<double> to;
    bool endExclusive = false;   // true for videos: [from, to)
};

FrameWindow frameWindow(const WindowRequest& request);

}  // namespace quorvel::capture
