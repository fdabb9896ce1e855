// Progress of a capture on stderr. On a terminal one line is rewritten in place (frame n of N,
// percent, frames per second, time left); otherwise, for logs, a plain line every few seconds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

namespace quorvel::capture {

class Progress {
public:
    // Seconds on a monotonic clock; the steady clock unless a test gives its own.
    using Clock = std::function<double()>;

    // `total` frames are to be done (0 when unknown).
    Progress(std::FILE* out, bool terminal, std::int64_t total, Clock clock = {});

    // `done` frames are done.
    void update(std::int64_t done);
    // Ends the line being rewritten, so later messages start on a line of their own.
    void finish();

private:
    void print(std::int64_t done, double now);

    std::FILE* out_;
    bool terminal_;
    std::int64_t total_;
    Clock clock_;
    double started_;
    double lastPrint_;
    bool lineOpen_ = false;
};

}  // namespace quorvel::capture
