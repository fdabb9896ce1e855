#include "engine/PlayerOverlays.h"

#include <cmath>
#include <cstdio>

namespace quorvel {

const std::vector<std::string>& helpLines() {
    // The font is proportional, so each line names its key first rather than aligning columns.
    static const std::vector<std::string> lines = {
        "Space: pause / resume",
        "Left / Right: 1 s back / forward",
        "Shift+Left / Shift+Right: 10 s back / forward",
        "Page Up / Page Down: 10 s back / forward",
        "Home: back to the start",
        "T: time and layers",
        "F1: this help",
        "F5: reload the show",
        "C: next camera (viewing a .3ds file)",
        "Alt+Enter: window / fullscreen",
        "Escape: quit",
    };
    return lines;
}

std::string clockText(float seconds) {
    // Whole hundredths first, so 59.999 reads 01:00.00 rather than 00:60.00.
    const long long hundredths = std::llround(std::fabs(static_cast<double>(seconds)) * 100.0);
    char text[48];
    std::snprintf(text, sizeof(text), "%s%02lld:%02lld.%02lld", seconds < 0.0f && hundredths > 0 ? "-" : "",
                  hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
    return text;
}

std::vector<std::string> timeLines(float demoTime, bool paused, const Layer* layers, int layerCount) {
    std::vector<std::string> lines;
    char text[160];
    std::snprintf(text, sizeof(text), "Time %.2f s  (%s)", static_cast<double>(demoTime), clockText(demoTime).c_str());
    lines.emplace_back(text);
    lines.emplace_back(paused ? "Paused" : "Playing");
    for (int i = 0; i < layerCount; ++i) {
        const Layer& layer = layers[i];
        if (!layer.active || layer.currentEvent == nullptr) continue;
        const LayerEvent& event = *layer.currentEvent;
        std::snprintf(text, sizeof(text), "Layer %d: %.60s, %.2f s", i, event.className.c_str(),
                      static_cast<double>(demoTime - event.startTime));
        lines.emplace_back(text);
    }
    return lines;
}

}  // namespace quorvel
