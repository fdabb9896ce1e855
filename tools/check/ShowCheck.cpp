// Reading a show for the checker: the script, the header's files and plug-ins, and the music.
// The checks of the timeline's events are in EventChecks.cpp.
#include "ShowCheck.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "FileNameChecks.h"
#include "platform/audio/MusicFileInfo.h"
#include "platform/d3dx8/texture/ImageFileCheck.h"
#include "platform/win/LibrarySearch.h"
#include "platform/win/OutputRedirection.h"
#include "script/Conversions.h"

namespace quorvel::check {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Whole seconds of a script time, as the player takes "@starttime" and "@endtime".
int wholeSeconds(double seconds) {
    if (std::isnan(seconds)) return 0;
    if (seconds >= 2147483520.0) return 2147483647;
    if (seconds <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(static_cast<float>(seconds));
}

}  // namespace

ShowCheck::ShowCheck(std::string scriptPath) : scriptPath_(std::move(scriptPath)) {
    // Message boxes (reader failures, a plug-in's refusals) become report lines.
    platform::setMessageBoxSink([this](const std::string&, const std::string& text) { boxes_.push_back(text); });
}

ShowCheck::~ShowCheck() {
    scenes_.destroyAll();
    host_.FreePlugins();
    platform::setMessageBoxSink(nullptr);
}

bool ShowCheck::run() {
    if (!script.openFile(scriptPath_.c_str())) {
        // A script refused for its size says so in a message box; without one, it did not open.
        const std::string why = takeBoxes();
        diagnostics.push_back({Severity::Error, 0, why.empty() ? "cannot open the script" : why, ""});
        return false;
    }
    script.tokenize(&lines);
    script.closeFile();

    trace.keepGoing = true;
    trace.showReports = false;
    parseTimelineTokens(script, layers, &trace);
    for (const TimelineError& e : trace.errors) {
        error(e.token, e.text + " [Line " + std::to_string(e.line) + ", Index " + std::to_string(e.index) + "]");
    }
    if (trace.dataToken < 0 || trace.codeToken < 0) return false;

    readTimes();
    loadPlugins();
    loadScenes();
    loadImages();
    checkMusic();
    checkEffects();
    const ShowAnalysis analysis(script, lines, trace, layers);
    for (Diagnostic& warning : analysis.warnings(&scenes_)) diagnostics.push_back(std::move(warning));
    checkSceneEvents(analysis);
    checkEventTimes();
    takeBoxes();
    sortByLine(diagnostics);
    return true;
}

void ShowCheck::readTimes() {
    if (const std::int32_t t = argumentOf("@starttime", 0); t >= 0)
        demoStart = wholeSeconds(decimalReal(script.token(t).c_str()));
    if (const std::int32_t t = argumentOf("@endtime", 0); t >= 0)
        demoEnd = wholeSeconds(decimalReal(script.token(t).c_str()));
    for (const StatementRecord& s : trace.statements) {
        if (s.isBaseTime && s.first + 1 < script.size()) {
            baseTimes.push_back(static_cast<float>(decimalReal(script.token(s.first + 1).c_str())));
        }
    }
}

void ShowCheck::loadPlugins() {
    for (int i = 0; i < script.countOf("@loadlibrary"); ++i) {
        const std::int32_t token = argumentOf("@loadlibrary", i);
        if (token < 0) continue;
        const std::string& name = script.token(token);
        // A library that comes with the show is a program of its own: unless the user trusts the
        // show, it is named, not run.
        if (platform::libraryComesWithShow(name, ".")) {
            const std::string how = platform::libraryNamedWithPath(name)
                                        ? " is named with a path"
                                        : " is found inside the show folder through the library search path";
            warning(token, "plug-in library " + quoted(name) + how +
                               ": it is code shipped with the show and runs with your rights; " +
                               (trustShow ? "it is loaded, as --trust-show allows"
                                          : "the checker does not load it, so its effects are not checked"));
            if (!trustShow) {
                skippedPlugins_ = true;
                continue;
            }
        } else if (const std::string shipped = libraryInShowFolder(name); !shipped.empty()) {
            warning(token, "plug-in library " + quoted(name) + " is also found inside the show folder (" + shipped +
                               "): code shipped with the show runs with your rights");
        }
        if (FAILED(host_.LoadPlugin(name.c_str()))) error(token, "Couldn't load " + name);
    }
}

void ShowCheck::loadScenes() {
    SceneList::setBasePath("data/");
    for (int i = 0; i < script.countOf("@loadscene"); ++i) {
        const std::int32_t token = argumentOf("@loadscene", i);
        if (token < 0) continue;
        scriptFile(token);
        const std::string& name = script.token(token);
        Scene* scene = scenes_.loadScene(name);
        takeBoxes();
        if (!scene) {
            error(token, "Couldn't load " + name);
            continue;
        }
        // The maps of its materials are loaded with the images; they must decode as well.
        std::set<std::string> checked;
        for (const Material* material : scene->materials) {
            for (const std::string* map : {&material->textureMap, &material->opacityMap}) {
                if (map->empty() || !checked.insert(*map).second) continue;
                std::string why;
                if (!d3dx::imageFileDecodes("data/" + *map, why)) {
                    error(token, "Couldn't load " + *map + ", the map of material \"" + material->name +
                                     "\" in scene " + name + " (the file " + why + ")");
                }
            }
        }
    }
}

void ShowCheck::loadImages() {
    std::set<std::string> materialMaps;
    for (const Scene* scene : scenes_.scenes) {
        for (const Material* material : scene->materials) {
            materialMaps.insert(material->textureMap);
            materialMaps.insert(material->opacityMap);
        }
    }
    for (int i = 0; i < script.countOf("@loadimage"); ++i) {
        const std::int32_t token = argumentOf("@loadimage", i);
        if (token < 0) continue;
        std::vector<std::int32_t> files{token};
        if (token + 2 < script.size() && script.token(token + 1) == "alpha") files.push_back(token + 2);
        for (const std::int32_t file : files) {
            const std::string path = scriptFile(file);
            std::string why;
            if (!d3dx::imageFileDecodes(path, why))
                error(file, "Couldn't load " + script.token(file) + ": the file " + why);
        }
        if (!materialMaps.count(script.token(token))) {
            warning(token, "image " + quoted(script.token(token)) +
                               " is loaded but no material of a loaded scene uses it (images show only through "
                               "scene materials)");
        }
    }
}

void ShowCheck::checkMusic() {
    const std::int32_t token = argumentOf("@loadmusic", 0);
    if (token < 0) return;
    const std::string path = scriptFile(token);
    audio::MusicFileInfo info;
    std::string why;
    if (!std::ifstream(path)) {
        warning(token, "music " + quoted(script.token(token)) + " is missing: the show runs without music");
        return;
    }
    if (!audio::readMusicFileInfo(path, info, why)) {
        error(token,
              "music " + quoted(script.token(token)) + " does not decode (" + why + "): the show runs without music");
        return;
    }
    musicPath = path;
    if (info.seconds < demoEnd) {
        char text[160];
        std::snprintf(text, sizeof(text),
                      "music %s lasts %.1f s but the show runs to %d s: it starts again from its "
                      "beginning",
                      quoted(script.token(token)).c_str(), info.seconds, demoEnd);
        warning(token, text);
    }
}

std::string ShowCheck::scriptFile(std::int32_t token) {
    const std::string& name = script.token(token);
    if (leavesShowFolder(name)) {
        warning(token, "file name " + quoted(name) + " leaves the show folder; a show should bring its own files");
    }
    const std::string path = "data/" + name;
    if (const std::string used = caseFallbackFor(path); !used.empty()) {
        warning(token, "file " + quoted(name) + " is found only ignoring upper and lower case: " + used + " is used");
        return used;
    }
    return path;
}

std::int32_t ShowCheck::argumentOf(const char* command, int n) const {
    const std::int32_t j = script.findMatch(n, command);
    return j < 0 || j + 1 >= script.size() ? -1 : j + 1;
}

void ShowCheck::error(std::int32_t token, std::string text) {
    diagnostics.push_back(diagnosticAt(script, lines, token, Severity::Error, std::move(text)));
}

void ShowCheck::warning(std::int32_t token, std::string text) {
    diagnostics.push_back(diagnosticAt(script, lines, token, Severity::Warning, std::move(text)));
}

std::string ShowCheck::takeBoxes() {
    std::string joined;
    for (std::string& text : boxes_) {
        for (char& c : text) {
            if (c == '\n') c = ' ';
        }
        joined += (joined.empty() ? "" : "; ") + text;
    }
    boxes_.clear();
    return joined;
}

}  // namespace quorvel::check
