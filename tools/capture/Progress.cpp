#include "Progress.h"

#include <chrono>
#include <cmath>

namespace quorvel::capture {

namespace {
constexpr double TerminalInterval = 0.25;  // seconds between redraws of the in-place line
constexpr double LogInterval = 5.0;        // seconds between plain lines

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

Progress::Progress(std::FILE* out, bool terminal, std::int64_t total, Clock clock)
    : out_(out), terminal_(terminal), total_(total), clock_(clock ? std::move(clock) : Clock(steadySeconds)) {
    started_ = clock_();
    lastPrint_ = started_;
}

void Progress::update(std::int64_t done) {
    const double now = clock_();
    const bool last = total_ > 0 && done >= total_;
    if (now - lastPrint_ < (terminal_ ? TerminalInterval : LogInterval) && !(terminal_ && last)) return;
    lastPrint_ = now;
    print(done, now);
}

void Progress::print(std::int64_t done, double now) {
    const double elapsed = now - started_;
    const double rate = elapsed > 0.0 ? static_cast<double>(done) / elapsed : 0.0;
    char line[160];
    int length = 0;
    if (total_ > 0) {
        length = std::snprintf(line, sizeof line, "quorvel-capture: frame %lld of %lld (%.1f%%), %.1f frames/s",
                               static_cast<long long>(done), static_cast<long long>(total_),
                               100.0 * static_cast<double>(done) / static_cast<double>(total_), rate);
        if (rate > 0.0 && done < total_) {
            const auto left = static_cast<long long>(std::ceil(static_cast<double>(total_ - done) / rate));
            std::snprintf(line + length, sizeof line - static_cast<size_t>(length), ", %lld:%02lld left", left / 60,
                          left % 60);
        }
    } else {
        std::snprintf(line, sizeof line, "quorvel-capture: frame %lld, %.1f frames/s", static_cast<long long>(done),
                      rate);
    }
    if (terminal_) {
        // Back to the line's start, the new text, and the rest of the old line cleared.
        std::fprintf(out_, "\r%s\x1b[K", line);
        lineOpen_ = true;
    } else {
        std::fprintf(out_, "%s\n", line);
    }
    std::fflush(out_);
}

void Progress::finish() {
    if (lineOpen_) std::fputc('\n', out_);
    lineOpen_ = false;
}

}  // namespace quorvel::capture
