// The engine: one object for the whole run. It reads the script at start-up, loads plug-ins,
// scenes, images and music, creates one effect instance per timeline event, and on every frame
// starts, updates, stops and draws the live effects layer by layer. The application shell it
// derives from owns the window, the device and the loop and calls the hooks below.
#pragma once

#include <optional>
#include <string>

#include "engine/ImageBank.h"
#include "engine/SceneViewer.h"
#include "engine/Timeline.h"
#include "music/MusicPlayer.h"
#include "plugin/Effect.h"
#include "plugin/EffectHost.h"
#include "scene/SceneList.h"
#include "script/ScriptText.h"
#include "shell/AppShell.h"

namespace quorvel {
class OverlayFont;
struct ShowLocation;
}

class DemoEngine : public quorvel::AppShell {
public:
    // The script a show is played from unless told otherwise, relative to the working directory.
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

    // What is played: a script, or a 3D Studio file alone (viewer). By default the script above,
    // with scenes, images and music under data/.
    std::string scriptPath = ScriptPath;
    std::string dataPath = "data/";
    quorvel::SceneViewer viewer;
    // Playback choices from the command line. Left alone, the show plays as its script says.
    std::optional<float> startOverride;  // demo time of the first frame, replacing "@starttime"
    bool loop = false;                   // past the end (or the viewer's cycle), start again
    bool mute = false;                   // the music is not opened
    std::optional<float> loopEnd;        // where a loop starts again instead of demoEnd
    float loopOffset = 0.0f;             // application time at which the current pass began

    // Plays what a SHOW argument located; the working directory must be its folder already.
    void playFrom(const quorvel::ShowLocation& location);

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
    // Reads the script (or makes the viewer's) into script and layers.
    bool readScript();
    // After the scenes are loaded: the viewer's camera and loop length.
    void prepareViewer();
    // Demo time of this frame from the application time; starts the next pass of a loop.
    float playbackTime();
    // Plays the music from the start of the show.
    void startMusic();

    // Loads the "@loadimage" images and the maps of every scene material into the image bank.
    HRESULT loadImages();
    HRESULT loadMaterialMaps(const char* sceneName);
};
