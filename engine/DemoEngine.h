// The engine: one object for the whole run. It reads the script at start-up, loads plug-ins,
// scenes, images and music, creates one effect instance per timeline event, and on every frame
// starts, updates, stops and draws the live effects layer by layer. The application shell it
// derives from owns the window, the device and the loop and calls the hooks below.
#pragma once

#include <optional>
#include <string>

#include "engine/ImageBank.h"
#include "engine/ImageFileReads.h"
#include "engine/PlaybackControl.h"
#include "engine/SceneViewer.h"
#include "engine/Timeline.h"
#include "engine/TimelineTrace.h"
#include "music/MusicPlayer.h"
#include "plugin/Effect.h"
#include "plugin/EffectHost.h"
#include "scene/SceneList.h"
#include "script/ScriptText.h"
#include "shell/AppShell.h"

namespace quorvel {
class OverlayFont;
struct ShowLocation;
struct ShowTrustChoice;
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
    ImageFileReads imageReads;  // the show's image files, read ahead while the show loads
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
    bool trustShow = false;              // plug-in libraries that come with the show may load
    std::optional<float> loopEnd;        // where a loop starts again instead of demoEnd
    // The demo clock: application time from the start of the current pass, paused or moved by
    // the player's keys.
    quorvel::PlaybackControl playback;

    // Pauses or resumes picture and music together.
    void togglePause();
    // Moves the demo time to `target`, or by `seconds`, held to [start time, end time]. The next
    // frame stops what is no longer live and starts what is, and the music follows.
    void seekTo(float target);
    void seekBy(float seconds);

    // Plays what a SHOW argument located; the working directory must be its folder already.
    void playFrom(const quorvel::ShowLocation& location);
    // Where the script's tokens are and what the timeline reader saw: the reports name the line.
    quorvel::TokenLines scriptLines;
    quorvel::TimelineTrace timelineTrace;
    // What stopped the start-up, in one line, for programs that have no message boxes to show.
    std::string startupFailure;
    // The user cancelled the setup dialog: the program ends without a show, by choice.
    bool setupCancelled = false;

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
    // Everything onStartup takes from the script, from reading it to the effects' ParseParams;
    // the music is opened only when asked (a reload decides about the music itself).
    HRESULT loadShow(bool openMusic);
    // Fills the services and calls every effect's Init, reporting the first failure.
    HRESULT initAllEffects();
    // Reads the script (or makes the viewer's) into script and layers.
    bool readScript();
    // After the scenes are loaded: the viewer's camera and loop length.
    void prepareViewer();
    // Demo time of this frame from the application time; starts the next pass of a loop.
    float playbackTime();
    // Plays the music from the start of the show.
    void startMusic();
    // After the frame's demo time is known: the layers and the music follow a jump or a resume.
    void followJumps();
    // The demo time a pass starts at, and the one after which it ends (or loops).
    float passStart() const;
    float passEnd() const;
    // Called inside the frame's scene after the statistics, for text drawn over everything.
    virtual void drawOverlays() {}
    INT runSetupDialog() override;
    // The setup dialog, with the box that allows the show's own plug-ins when trust is given.
    INT showDialog(quorvel::ShowTrustChoice* trust);
    // True when the script asks for a plug-in library that comes with the show (named with a
    // path, or found inside the show folder). Reads the script file for it: the setup dialog
    // that offers to allow them comes before the show starts.
    bool asksForShowPlugins();

    // Prints "data/vantro.jpg:LINE: TEXT (at 'WORD')" for script token token and keeps TEXT as
    // the start-up failure.
    void reportAt(std::int32_t token, const std::string& text);
    // The stderr line of the timeline reader's first error.
    void reportTimelineFailure();
    // After createEffects failed on event slot of layer: the event, with its line; a message
    // box when no plug-in offers its class (a plug-in reports its own refusals).
    void reportEffectFailure(int layerNumber, int slot);
    // A library of the n-th "@loadlibrary" that comes with the show and is not allowed to load.
    void reportShowPlugin(int n, const char* name);
    // The same after initEffects failed.
    void reportInitFailure(int layerNumber, int slot, HRESULT result);
    // The show analysis' warnings, one stderr line each.
    void printWarnings();
    // A material map that could not be loaded: which scene and material need it.
    void reportMapFailure(const char* sceneName, const std::string& materialName, const std::string& mapName);
    // Token index of the argument of the n-th occurrence of command, or -1.
    std::int32_t headerArgument(const char* command, int n) const;

    // The names on the i-th "@loadimage" line: the image and, after "alpha", its alpha file.
    // Looking them up reports a missing name; name is null then, and so is a missing alphaName.
    struct ImageLine {
        const char* name = nullptr;
        bool withAlpha = false;
        const char* alphaName = nullptr;
    };
    ImageLine imageLine(int i) const;
    // Starts reading the files of the "@loadimage" images, and of the scenes' material maps, ahead
    // of loadImages. Quiet: a missing name is reported by loadImages, when its turn comes.
    void readImagesAhead();
    void readMaterialMapsAhead();
    // Loads the "@loadimage" images and the maps of every scene material into the image bank.
    HRESULT loadImages();
    HRESULT loadMaterialMaps(const char* sceneName);
};
