// The show analysis: the problems a script can have that do not stop the show but make it do
// something its author did not mean. The player prints them when it starts; the checker reports
// them with its own errors. It works on the script's tokens, their lines and what the timeline
// reader saw, and (once they are loaded) the scenes.
#pragma once

#include <string>
#include <vector>

#include "engine/Timeline.h"
#include "engine/TimelineTrace.h"
#include "script/Diagnostic.h"
#include "script/ScriptText.h"
#include "script/TokenLines.h"

struct SceneList;

namespace quorvel {

// The parameters of a scene event that name things: the last "file" and "camera" of its blocks
// (later blocks override earlier ones), as script token indices; -1 when not given.
struct SceneEventNames {
    std::int32_t layer = 0;
    std::int32_t slot = 0;
    std::int32_t fileToken = -1;
    std::int32_t cameraToken = -1;
};

// The effect class the bundled scene plug-in offers; its parameters are checked by name.
inline constexpr const char* kSceneEffectClass = "scene";

class ShowAnalysis {
public:
    ShowAnalysis(const ScriptText& script, const TokenLines& lines, const TimelineTrace& trace, const Layer* layers)
        : script_(script), lines_(lines), trace_(trace), layers_(layers) {}

    // Everything below; scenes may be null when they are not loaded (then the scene checks are
    // left out).
    Diagnostics warnings(const SceneList* scenes) const;

    // "@" words in the header that no command knows, and other stray header words.
    void checkHeaderWords(Diagnostics& out) const;
    // Numbers the reader does not take whole ("0xFF102040", "20s").
    void checkNumbers(Diagnostics& out) const;
    // Statement words, events never deleted, anim/delete without a pending event.
    void checkStatements(Diagnostics& out) const;
    // Camera names the scene lacks, and scenes no scene effect uses.
    void checkScenes(const SceneList& scenes, Diagnostics& out) const;

    // The scene events of the committed timeline, in layer and slot order.
    std::vector<SceneEventNames> sceneEvents() const;

    Diagnostic at(std::int32_t token, Severity severity, std::string text) const {
        return diagnosticAt(script_, lines_, token, severity, std::move(text));
    }

private:
    void checkNumber(std::int32_t token, bool integer, Diagnostics& out) const;
    bool followsStrayWord(std::size_t statement) const;

    const ScriptText& script_;
    const TokenLines& lines_;
    const TimelineTrace& trace_;
    const Layer* layers_;
};

// Sorts by line, keeping the order of reports on one line.
void sortByLine(Diagnostics& diagnostics);

}  // namespace quorvel
