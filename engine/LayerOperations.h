// What the engine does with one layer of the timeline over a run: create its effects, hand them
// the device, pick the live event each frame, draw, and take everything down again. The engine
// applies each operation to layers 0 to 59 in order.
#pragma once

#include "engine/Timeline.h"
#include "plugin/Effect.h"

class EffectHost;

// For each committed event: create its effect by class name, then let it read its parameters.
// Fails as soon as an effect cannot be created or ParseParams fails; failedSlot (when given)
// then holds the event's slot.
HRESULT createEffects(Layer& layer, EffectHost& host, int* failedSlot = nullptr);
// Init for each committed event that has an effect; the first failure is returned, and its
// slot in failedSlot when given.
HRESULT initEffects(Layer& layer, EngineServices* services, int* failedSlot = nullptr);
// The per-frame step at demo time t: update the live event, or stop it when its interval was
// left and start the first committed event that is live at t.
HRESULT advance(Layer& layer, EngineServices* services, float t);
// After the demo time jumped to t: stops the live event unless it is the one a layer starting
// afresh at t would play (the lowest committed slot live at t). The next advance then starts
// that event, so the layer plays what a show started at t would.
void settleAfterJump(Layer& layer, float t);
// Render of the live effect; only for active layers.
void draw(Layer& layer, EngineServices* services);
// Leaves the live event (Stop); only for active layers.
void deactivate(Layer& layer);
// DestroyDeviceObjects for each committed event with an effect; stops at the first failure.
HRESULT deleteEffectDeviceObjects(Layer& layer);
// Shutdown for each committed event with an effect; stops at the first failure.
HRESULT cleanUpEffects(Layer& layer);
