#include "TimelineLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ShowCheck.h"
#include "engine/ShowAnalysis.h"
#include "platform/audio/MusicFileInfo.h"
#include "script/Conversions.h"

namespace quorvel::check {

namespace {

constexpr double kLeft = 64, kRight = 24, kTop = 44, kRowHeight = 36, kAxisHeight = 28, kWaveHeight = 56;
constexpr double kWidthGoal = 1200;

// The label of an event: its class and its main parameters, for scenes the file and camera.
std::string eventLabel(const ShowCheck& check, const std::vector<SceneEventNames>& scenes, int layer, int slot) {
    const LayerEvent& event = check.layers[layer].events[slot];
    std::string label = event.className.empty() ? "(no class)" : event.className;
    for (const SceneEventNames& names : scenes) {
        if (names.layer != layer || names.slot != slot) continue;
        if (names.fileToken >= 0) label += " " + check.script.token(names.fileToken);
        if (names.cameraToken >= 0) label += " / " + check.script.token(names.cameraToken);
        return label;
    }
    // Other classes: the first words of the first block.
    const ScriptText& params = event.params;
    for (std::int32_t i = 3, shown = 0; i < params.size() && params.token(i) != "}" && shown < 4; ++i, ++shown) {
        label += " " + params.token(i);
    }
    return label;
}

// A tick step in seconds that leaves at least 60 pixels between labels.
int tickStep(double pixelsPerSecond) {
    for (int step : {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1800, 3600}) {
        if (step * pixelsPerSecond >= 60) return step;
    }
    return 7200;
}

}  // namespace

std::string minutesAndSeconds(int seconds) {
    char text[32];
    const int magnitude = std::abs(seconds);
    std::snprintf(text, sizeof(text), "%s%d:%02d", seconds < 0 ? "-" : "", magnitude / 60, magnitude % 60);
    return text;
}

TimelineLayout layoutTimeline(const ShowCheck& check) {
    TimelineLayout layout;
    layout.title = check.scriptPath();

    float first = std::min(0.0f, static_cast<float>(check.demoStart));
    float last = static_cast<float>(check.demoEnd);
    for (int layer = 0; layer < LayerCount; ++layer) {
        const Layer& events = check.layers[layer];
        if (events.eventCount > 0) layout.rowLayers.push_back(layer);
        for (int slot = 0; slot < events.eventCount; ++slot) {
            first = std::min({first, events.events[slot].startTime, events.events[slot].endTime});
            last = std::max({last, events.events[slot].startTime, events.events[slot].endTime});
        }
    }
    if (!(last > first)) last = first + 1.0f;
    layout.firstSecond = first;
    layout.lastSecond = last;
    layout.pixelsPerSecond = std::clamp(kWidthGoal / (last - first), 2.0, 40.0);
    layout.rowHeight = kRowHeight;
    layout.plotLeft = kLeft;
    layout.plotRight = kLeft + (last - first) * layout.pixelsPerSecond;
    layout.width = layout.plotRight + kRight;
    layout.plotTop = kTop;
    layout.plotBottom = kTop + kRowHeight * static_cast<double>(std::max<std::size_t>(1, layout.rowLayers.size()));
    layout.waveTop = layout.plotBottom + kAxisHeight;
    layout.waveBottom = layout.waveTop + kWaveHeight;
    layout.height = layout.waveBottom + 12;

    // Layer 0 is drawn first, so it is the bottom row.
    for (std::size_t row = 0; row < layout.rowLayers.size(); ++row) {
        layout.rowTops.push_back(layout.plotBottom - kRowHeight * static_cast<double>(row + 1));
    }

    const ShowAnalysis analysis(check.script, check.lines, check.trace, check.layers);
    const std::vector<SceneEventNames> scenes = analysis.sceneEvents();
    for (std::size_t row = 0; row < layout.rowLayers.size(); ++row) {
        const int layer = layout.rowLayers[row];
        for (int slot = 0; slot < check.layers[layer].eventCount; ++slot) {
            const LayerEvent& event = check.layers[layer].events[slot];
            EventBar bar;
            bar.layer = layer;
            bar.start = event.startTime;
            bar.end = event.endTime;
            bar.x0 = layout.xOf(std::min(event.startTime, event.endTime));
            bar.x1 = layout.xOf(std::max(event.startTime, event.endTime));
            bar.y = layout.rowTops[row] + 5;
            bar.height = kRowHeight - 10;
            bar.label = eventLabel(check, scenes, layer, slot);
            bar.silent = check.neverPlays(layer, slot);
            // Each block is stamped "time T" with T its seconds after the event's start.
            const ScriptText& params = event.params;
            for (std::int32_t i = 0; i + 1 < params.size(); ++i) {
                if (params.token(i) != "time" || (i > 0 && params.token(i - 1) != "}")) continue;
                const double after = decimalReal(params.token(i + 1).c_str());
                if (after > 0) bar.blockXs.push_back(layout.xOf(event.startTime + after));
            }
            layout.bars.push_back(bar);
        }
    }

    const int step = tickStep(layout.pixelsPerSecond);
    for (int s = static_cast<int>(std::ceil(first / step)) * step; s <= last; s += step) {
        layout.ticks.push_back({layout.xOf(s), minutesAndSeconds(s)});
    }
    char text[64];
    for (const float base : check.baseTimes) {
        std::snprintf(text, sizeof(text), "@basetime %g", static_cast<double>(base));
        layout.baseTimes.push_back({layout.xOf(base), text});
    }
    layout.start = {layout.xOf(check.demoStart), "start " + minutesAndSeconds(check.demoStart)};
    layout.end = {layout.xOf(check.demoEnd), "end " + minutesAndSeconds(check.demoEnd)};

    // The music from the show's start: one peak per pixel column, looping as it plays.
    if (!check.musicPath.empty()) {
        audio::MusicFileInfo info;
        std::string why;
        const int columns = static_cast<int>(layout.plotRight - layout.plotLeft);
        if (audio::readMusicFileInfo(check.musicPath, info, why) && info.seconds > 0 && columns > 0) {
            const int perSecond = 8;
            const int bins = std::max(1, static_cast<int>(info.seconds * perSecond));
            const std::vector<float> peaks = audio::musicPeakEnvelope(check.musicPath, bins);
            if (!peaks.empty()) {
                layout.wave.assign(static_cast<std::size_t>(columns), 0.0f);
                for (int c = 0; c < columns; ++c) {
                    const double t = first + c / layout.pixelsPerSecond;
                    if (t < check.demoStart) continue;
                    const double inFile = std::fmod(t, info.seconds);
                    const auto bin =
                        std::min<std::size_t>(peaks.size() - 1, static_cast<std::size_t>(inFile * perSecond));
                    layout.wave[static_cast<std::size_t>(c)] = peaks[bin];
                }
            }
        }
    }
    return layout;
}

}  // namespace quorvel::check
