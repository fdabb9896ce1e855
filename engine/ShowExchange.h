// A show taken out of the engine: everything one script loads (timeline, plug-ins, scenes,
// images, header values). A reload parks the playing show here, loads the new one into the
// engine with the ordinary start-up code, and then either releases the parked show or, when the
// new one failed, exchanges them back. The effects always live in the engine's own fields when
// they are called, so the services, image bank and scene list they were handed keep their
// addresses.
#pragma once

#include <optional>
#include <vector>

#include "engine/ImageBank.h"
#include "engine/SceneViewer.h"
#include "engine/Timeline.h"
#include "engine/TimelineTrace.h"
#include "plugin/EffectHost.h"
#include "scene/SceneList.h"
#include "script/ScriptText.h"
#include "script/TokenLines.h"

class DemoEngine;

namespace quorvel {

struct ShowContents {
    // An empty show; a viewer keeps viewing the same file.
    explicit ShowContents(const SceneViewer& viewing);
    ~ShowContents() { release(); }
    ShowContents(const ShowContents&) = delete;
    ShowContents& operator=(const ShowContents&) = delete;

    // Takes the show down as the engine's end does: live effects get Stop, then every effect
    // DestroyDeviceObjects and Shutdown; scenes, images and plug-in libraries go. Leaves it empty.
    void release();

    ScriptText script;
    Layer layers[LayerCount];
    EffectHost effectHost;
    SceneList scenes;
    std::vector<ImageEntry*> images;
    DWORD backgroundColour = 0xFF808080u;
    BOOL showStats = TRUE;
    INT demoStart = 0;
    INT demoEnd = 100;
    TokenLines scriptLines;
    TimelineTrace timelineTrace;
    SceneViewer viewer;
    std::optional<float> loopEnd;
};

// Exchanges the engine's show with the parked one. Layers that were live stay live with their
// effects (a show parked and put back carries on as if nothing happened).
void exchangeShow(DemoEngine& engine, ShowContents& parked);

}  // namespace quorvel
