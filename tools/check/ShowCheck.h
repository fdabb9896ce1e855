// quorvel-check's reading of a show: the engine's own script reader, timeline reader, scene
// reader, image and music decoders and plug-in loading, without a window, a GL context or an
// audio device. Every problem found becomes one diagnostic at the script token that caused it.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/ShowAnalysis.h"
#include "engine/Timeline.h"
#include "plugin/EffectHost.h"
#include "scene/SceneList.h"
#include "script/Diagnostic.h"

namespace quorvel::check {

class ShowCheck {
public:
    // scriptPath is relative to the working directory, which is the show folder.
    explicit ShowCheck(std::string scriptPath);
    ~ShowCheck();
    ShowCheck(const ShowCheck&) = delete;
    ShowCheck& operator=(const ShowCheck&) = delete;

    // Reads and checks the whole show. False when it cannot be read at all (no script, or no
    // "@data." / "@code."); diagnostics then say why.
    bool run();

    const std::string& scriptPath() const { return scriptPath_; }
    bool trustShow = false;   // --trust-show: plug-in libraries that come with the show are loaded

    Diagnostics diagnostics;  // sorted by line after run()

    // What the timeline picture draws.
    ScriptText script;
    TokenLines lines;
    TimelineTrace trace;
    Layer layers[LayerCount];
    int demoStart = 0;
    int demoEnd = 100;
    std::string musicPath;         // the music file to read, empty when there is none that opens
    std::vector<float> baseTimes;  // the "@basetime" values, in script order
    bool neverPlays(int layer, int slot) const { return silentEvents_.count({layer, slot}) != 0; }

private:
    void readTimes();
    void loadPlugins();
    void loadScenes();
    void loadImages();
    void checkMusic();
    void checkEffects();
    void checkSceneEvents(const ShowAnalysis& analysis);
    void checkEventTimes();

    // A file named by the script (under data/): warns about names that leave the show folder
    // and names found only ignoring case; returns the path to open.
    std::string scriptFile(std::int32_t token);
    bool offersClass(const std::string& className) const;
    std::int32_t argumentOf(const char* command, int n) const;

    void error(std::int32_t token, std::string text);
    void warning(std::int32_t token, std::string text);
    // The texts of the message boxes shown since the last call, joined.
    std::string takeBoxes();

    std::string scriptPath_;
    EffectHost host_;
    SceneList scenes_;
    bool skippedPlugins_ = false;
    std::vector<std::string> boxes_;
    std::set<std::pair<int, int>> silentEvents_;
};

}  // namespace quorvel::check
