#include "FrameWindow.h"

#include <algorithm>
#include <cmath>

namespace quorvel::capture {

namespace {
// Demo times are float seconds inside the engine; a time within this of a frame counts as that
// frame's time.
constexpr double Slack = 1e-4;
}  // namespace

FrameWindow frameWindow(const WindowRequest& request) {
    const double fps = request.rate.value();
    const double start = request.demoStart;
    auto index = [&](double demoTime) { return (demoTime - start) * fps; };

    const auto lastExisting = static_cast<std::int64_t>(std::floor(index(request.demoEnd + Slack)));
    FrameWindow window;
    if (request.from) {
        window.first = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::ceil(index(*request.from - Slack))));
    }
    std::int64_t end = lastExisting + 1;
    if (request.endExclusive) {
        const double to = request.to.value_or(request.demoEnd);
        end = std::min(end, static_cast<std::int64_t>(std::ceil(index(to - Slack))));
    } else if (request.to) {
        end = std::min(end, static_cast<std::int64_t>(std::floor(index(*request.to + Slack))) + 1);
    }
    window.end = std::max(end, window.first);
    return window;
}

}  // namespace quorvel::capture
