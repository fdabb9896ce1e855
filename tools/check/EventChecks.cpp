// The checker's look at the timeline's events: their effect classes and parameter blocks, the
// scenes and cameras of scene events, and events that never play.
#include <algorithm>
#include <cstdio>

#include "PluginMessages.h"
#include "ShowCheck.h"

namespace quorvel::check {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string seconds(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g s", static_cast<double>(value));
    return text;
}

}  // namespace

bool ShowCheck::offersClass(const std::string& className) const {
    for (EffectClassDesc* descriptor : host_.descriptors) {
        if (const char* name = descriptor->ClassName(); name && className == name) return true;
    }
    return false;
}

void ShowCheck::checkEffects() {
    for (int layer = 0; layer < LayerCount; ++layer) {
        for (int slot = 0; slot < layers[layer].eventCount; ++slot) {
            LayerEvent& event = layers[layer].events[slot];
            const std::int32_t token = trace.eventToken(layer, slot);
            if (!offersClass(event.className)) {
                const std::string text = "no loaded plug-in offers the effect class " + quoted(event.className);
                if (skippedPlugins_) {
                    warning(token, text + " (a plug-in the checker did not load may)");
                } else {
                    error(token, text + (host_.descriptors.empty() ? " (the script loads no plug-in)" : ""));
                }
                continue;
            }
            // The effect reads its blocks as it would at start-up; what it says becomes the report.
            Effect* effect = host_.CreateEffect(event.className.c_str());
            if (!effect) {
                error(token, "the effect class " + quoted(event.className) + " could not create an effect");
                continue;
            }
            takeBoxes();
            HRESULT result = S_OK;
            std::string said;
            for (const std::string& text : catchPluginMessages([&] { result = effect->ParseParams(&event.params); })) {
                said += (said.empty() ? "" : "; ") + text;
            }
            if (const std::string ours = takeBoxes(); !ours.empty()) said += (said.empty() ? "" : "; ") + ours;
            if (FAILED(result)) {
                error(token, "the effect " + quoted(event.className) + " refuses its parameters" +
                                 (said.empty() ? std::string() : ": " + said));
            } else if (!said.empty()) {
                warning(token, "the effect " + quoted(event.className) + " says: " + said);
            }
            effect->Shutdown();
        }
    }
}

void ShowCheck::checkSceneEvents(const ShowAnalysis& analysis) {
    for (const SceneEventNames& event : analysis.sceneEvents()) {
        if (!offersClass(kSceneEffectClass)) continue;
        const std::int32_t token = event.fileToken >= 0 ? event.fileToken : trace.eventToken(event.layer, event.slot);
        const std::string name = event.fileToken >= 0 ? script.token(event.fileToken) : std::string();
        const Scene* scene = scenes_.findScene(name);
        if (!scene) {
            error(token, name + " not loaded. You need to load the scene before use.");
        } else if (scene->cameras.empty()) {
            error(token, name + " has no camera(s)");
        }
    }
}

void ShowCheck::checkEventTimes() {
    for (int layer = 0; layer < LayerCount; ++layer) {
        const Layer& events = layers[layer];
        for (int slot = 0; slot < events.eventCount; ++slot) {
            const LayerEvent& event = events.events[slot];
            const std::string what =
                "the event " + quoted(event.className) + " on layer " + std::to_string(layer) + " never plays: ";
            std::string why;
            if (!(event.startTime < event.endTime)) {
                why = "it ends at " + seconds(event.endTime) + ", not after it starts at " + seconds(event.startTime);
            } else if (event.endTime <= static_cast<float>(demoStart)) {
                why = "it ends at " + seconds(event.endTime) + ", before the show starts at " +
                      std::to_string(demoStart) + " s (@starttime)";
            } else if (event.startTime > static_cast<float>(demoEnd)) {
                why = "it starts at " + seconds(event.startTime) + ", after the show ends at " +
                      std::to_string(demoEnd) + " s (@endtime)";
            } else {
                // Of several live events of a layer the lowest slot plays: the event is silent
                // when the earlier slots together cover all of its time.
                std::vector<std::pair<float, float>> lower;
                for (int j = 0; j < slot; ++j) {
                    if (events.events[j].startTime < events.events[j].endTime) {
                        lower.emplace_back(events.events[j].startTime, events.events[j].endTime);
                    }
                }
                std::sort(lower.begin(), lower.end());
                float covered = event.startTime;
                for (const auto& [start, end] : lower) {
                    if (start <= covered) covered = std::max(covered, end);
                }
                if (covered >= event.endTime) why = "events created before it on the layer cover all of its time";
            }
            if (why.empty()) continue;
            silentEvents_.insert({layer, slot});
            warning(trace.eventToken(layer, slot), what + why);
        }
    }
}

}  // namespace quorvel::check
