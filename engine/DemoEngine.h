// The engine: one object for the whole run. It reads the script at start-up, loads plug-ins,
// scenes, images and music, creates one effect instance per timeline event, and on every frame
// starts, updates, stops and draws the live effects layer by layer. The application shell it
// derives from owns the window, the device and the loop and calls the hooks below.
#pragma once

#include <string>

#include "engine/ImageBank.h"
#include "engine/Timeline.h"
#include "music/MusicPlayer.h"
#include "plugin/Effect.h"
#include "plugin/EffectHost.h"
#include "scene/SceneList.h"
#include "script/ScriptText.h"
#include "shell/AppShell.h"

namespace quorvel {
class OverlayFont;
}

class DemoEngine : public quorvel::AppShell {
public:
    // The script every show is played from, relative to the working directory.
    static constexpr const char* ScriptPath = "data/vantro.jpg";

    DemoEngine();
    ~DemoEngine() override;

    ScriptText script;
    Layer layers[LayerCount];
    EffectHost effectHost;
    EngineServices services;
    SceneList scenes;
    ImageBank images;
    DWORD backgroundColour = 0xFF808080u;
    quorvel::OverlayFont* font = nullptr;
    quorvel::MusicPlayer music;
    BOOL showStats = TRUE;
    INT demoStart = 0;
    INT demoEnd = 100;
    FLOAT demoTime = 0.0f;
    std::string musicBasePath;

    bool parseTimeline(const char* path);

    HRESULT onStartup() override;
    HRESULT onDeviceCreated() override;
    HRESULT onDeviceReset() override;
    HRESULT onUpdate() override;
    HRESULT onRender() override;
    HRESULT onDeviceLost() override;
    HRESULT onDeviceDestroy() override;
    HRESULT onShutdown() override;

protected:
    // Loads the "@loadimage" images and the maps of every scene material into the image bank.
    HRESULT loadImages();
    HRESULT loadMaterialMaps(const char* sceneName);
};
