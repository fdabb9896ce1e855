#include "FrameStatistics.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quorvel::capture {

void FrameStatistics::presented(TimePoint when, std::int64_t frame, double demoTime) {
    const TimePoint since = samples_.empty() ? programStart_ : lastPresented_;
    samples_.push_back({frame, demoTime, std::chrono::duration<double, std::milli>(when - since).count()});
    lastPresented_ = when;
}

std::optional<FrameStatistics::Summary> FrameStatistics::summary() const {
    if (samples_.empty()) return std::nullopt;
    Summary summary;
    summary.firstFrameMs = samples_.front().milliseconds;
    summary.laterFrames = samples_.size() - 1;
    if (summary.laterFrames == 0) return summary;

    std::vector<double> times;
    double total = 0.0;
    const Sample* worst = &samples_[1];
    for (size_t i = 1; i < samples_.size(); ++i) {
        times.push_back(samples_[i].milliseconds);
        total += samples_[i].milliseconds;
        if (samples_[i].milliseconds > worst->milliseconds) worst = &samples_[i];
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    summary.medianMs = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
    // Nearest rank: the smallest time that at least 99% of the frames do not exceed.
    const auto rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(n)));
    summary.percentile99Ms = times[std::clamp<size_t>(rank, 1, n) - 1];
    summary.worstMs = worst->milliseconds;
    summary.worstDemoTime = worst->demoTime;
    summary.framesPerSecond = total > 0.0 ? 1000.0 * static_cast<double>(n) / total : 0.0;
    return summary;
}

void FrameStatistics::report(std::FILE* out) const {
    const auto s = summary();
    if (!s) {
        std::fprintf(out, "quorvel-capture: no frame was presented\n");
        return;
    }
    std::fprintf(out, "quorvel-capture: first frame presented %.1f ms after start\n", s->firstFrameMs);
    if (s->laterFrames == 0) {
        std::fprintf(out, "quorvel-capture: no later frames to time\n");
        return;
    }
    std::fprintf(out,
                 "quorvel-capture: %zu later frames: %.1f frames/s, median %.2f ms, 99th percentile %.2f ms, "
                 "worst %.2f ms at demo time %.3f s\n",
                 s->laterFrames, s->framesPerSecond, s->medianMs, s->percentile99Ms, s->worstMs, s->worstDemoTime);
}

bool FrameStatistics::writeCsv(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    std::fprintf(file, "frame,demo_time_s,frame_time_ms\n");
    // to_chars: a decimal point whatever the locale, so that the file stays comma-separated.
    for (const Sample& sample : samples_) {
        char row[1024];
        char* const last = row + sizeof row - 1;  // room for the line break
        char* end = std::to_chars(row, last, static_cast<long long>(sample.frame)).ptr;
        *end++ = ',';
        end = std::to_chars(end, last, sample.demoTime, std::chars_format::fixed, 6).ptr;
        *end++ = ',';
        end = std::to_chars(end, last, sample.milliseconds, std::chars_format::fixed, 4).ptr;
        *end++ = '\n';
        std::fwrite(row, 1, static_cast<size_t>(end - row), file);
    }
    const bool written = !std::ferror(file);
    return std::fclose(file) == 0 && written;
}

}  // namespace quorvel::capture
