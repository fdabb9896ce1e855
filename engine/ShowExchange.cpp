#include "engine/ShowExchange.h"

#include <utility>

#include "engine/DemoEngine.h"
#include "engine/LayerOperations.h"

namespace quorvel {
namespace {

// ScriptText gives plug-ins its fields directly and has no move of its own; its token storage is
// owned through these fields alone.
void swapTokens(ScriptText& a, ScriptText& b) {
    std::swap(a.capacity, b.capacity);
    std::swap(a.first, b.first);
    std::swap(a.last, b.last);
    std::swap(a.file, b.file);
}

// The current event points into its own layer's slots, so it moves by slot number.
LayerEvent* sameSlot(const Layer& from, LayerEvent* event, Layer& to) {
    return event ? to.events + (event - from.events) : nullptr;
}

void swapLayers(Layer& a, Layer& b) {
    for (int i = 0; i < EventSlotsPerLayer; ++i) {
        LayerEvent& x = a.events[i];
        LayerEvent& y = b.events[i];
        std::swap(x.startTime, y.startTime);
        std::swap(x.endTime, y.endTime);
        swapTokens(x.params, y.params);
        std::swap(x.effect, y.effect);
        std::swap(x.className, y.className);
    }
    LayerEvent* aCurrent = sameSlot(a, a.currentEvent, b);
    LayerEvent* bCurrent = sameSlot(b, b.currentEvent, a);
    a.currentEvent = bCurrent;
    b.currentEvent = aCurrent;
    std::swap(a.eventCount, b.eventCount);
    std::swap(a.currentEffect, b.currentEffect);
    std::swap(a.active, b.active);
}

}  // namespace

ShowContents::ShowContents(const SceneViewer& viewing) {
    if (viewing.isOpen()) viewer.open(viewing.sceneFile());
}

void ShowContents::release() {
    for (Layer& layer : layers) deactivate(layer);
    for (Layer& layer : layers) deleteEffectDeviceObjects(layer);
    for (Layer& layer : layers) cleanUpEffects(layer);
    scenes.destroyAll();
    for (ImageEntry* entry : images) delete entry;
    images.clear();
    // Instances are gone before their libraries, as at the end of a run.
    effectHost.FreePlugins();
}

void exchangeShow(DemoEngine& engine, ShowContents& parked) {
    swapTokens(engine.script, parked.script);
    for (int i = 0; i < LayerCount; ++i) swapLayers(engine.layers[i], parked.layers[i]);
    std::swap(engine.effectHost.descriptors, parked.effectHost.descriptors);
    std::swap(engine.effectHost.libraries, parked.effectHost.libraries);
    std::swap(engine.scenes.scenes, parked.scenes.scenes);
    std::swap(engine.images.entries, parked.images);
    std::swap(engine.backgroundColour, parked.backgroundColour);
    std::swap(engine.showStats, parked.showStats);
    std::swap(engine.demoStart, parked.demoStart);
    std::swap(engine.demoEnd, parked.demoEnd);
    std::swap(engine.scriptLines, parked.scriptLines);
    std::swap(engine.timelineTrace, parked.timelineTrace);
    std::swap(engine.viewer, parked.viewer);
    std::swap(engine.loopEnd, parked.loopEnd);
}

}  // namespace quorvel
