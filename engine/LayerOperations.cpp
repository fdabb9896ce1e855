#include "engine/LayerOperations.h"

#include "plugin/EffectHost.h"

namespace {

bool isLive(const LayerEvent& event, float t) { return event.startTime <= t && t < event.endTime; }

// The event a layer that is not playing yet starts at t, as advance picks it.
const LayerEvent* firstLiveEvent(const Layer& layer, float t) {
    for (int i = 0; i < layer.eventCount; ++i) {
        const LayerEvent& event = layer.events[i];
        if (isLive(event, t) && event.effect) return &event;
    }
    return nullptr;
}

}  // namespace

HRESULT createEffects(Layer& layer, EffectHost& host, int* failedSlot) {
    for (int i = 0; i < layer.eventCount; ++i) {
        LayerEvent& event = layer.events[i];
        if (failedSlot) *failedSlot = i;
        event.effect = host.CreateEffect(event.className.c_str());
        if (!event.effect) return E_FAIL;
        if (FAILED(event.effect->ParseParams(&event.params))) return E_FAIL;
    }
    return S_OK;
}

HRESULT initEffects(Layer& layer, EngineServices* services, int* failedSlot) {
    for (int i = 0; i < layer.eventCount; ++i) {
        Effect* effect = layer.events[i].effect;
        if (!effect) continue;
        if (failedSlot) *failedSlot = i;
        HRESULT hr = effect->Init(services);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT advance(Layer& layer, EngineServices* services, float t) {
    if (layer.active) {
        const LayerEvent& live = *layer.currentEvent;
        if (isLive(live, t)) {
            layer.currentEffect->Update(t - live.startTime);
            return S_OK;
        }
        layer.currentEffect->Stop();
        layer.active = false;
    }
    for (int i = 0; i < layer.eventCount; ++i) {
        LayerEvent& event = layer.events[i];
        layer.currentEvent = &event;
        if (isLive(event, t) && event.effect) {
            layer.currentEffect = event.effect;
            layer.currentEffect->Start(services);
            layer.active = true;
            return S_OK;
        }
    }
    return S_OK;
}

void settleAfterJump(Layer& layer, float t) {
    if (layer.active && layer.currentEvent != firstLiveEvent(layer, t)) deactivate(layer);
}

void draw(Layer& layer, EngineServices* services) {
    if (layer.active) layer.currentEffect->Render(services);
}

void deactivate(Layer& layer) {
    if (!layer.active) return;
    layer.active = false;
    layer.currentEffect->Stop();
}

HRESULT deleteEffectDeviceObjects(Layer& layer) {
    for (int i = 0; i < layer.eventCount; ++i) {
        Effect* effect = layer.events[i].effect;
        if (!effect) continue;
        HRESULT hr = effect->DestroyDeviceObjects();
        if (FAILED(hr)) return hr;
    }
    layer.active = false;
    return S_OK;
}

HRESULT cleanUpEffects(Layer& layer) {
    for (int i = 0; i < layer.eventCount; ++i) {
        LayerEvent& event = layer.events[i];
        if (!event.effect) continue;
        HRESULT hr = event.effect->Shutdown();
        if (FAILED(hr)) return hr;
        // Shutdown is an effect's last call (it may free itself), so the event lets go of it:
        // a second clean-up then has nothing left to finalise.
        if (layer.currentEffect == event.effect) {
            layer.currentEffect = nullptr;
            layer.active = false;
        }
        event.effect = nullptr;
    }
    return S_OK;
}
