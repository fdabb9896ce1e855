#include "engine/ShowAnalysis.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <set>

#include "scene/SceneList.h"
#include "script/Conversions.h"

namespace quorvel {

namespace {

struct HeaderCommand {
    const char* word;
    int arguments;
};

// The header commands and how many tokens each takes ("@loadimage" may take two more).
constexpr std::array<HeaderCommand, 8> kHeaderCommands{{
    {"@loadlibrary", 1},
    {"@loadscene", 1},
    {"@loadimage", 1},
    {"@loadmusic", 1},
    {"@starttime", 1},
    {"@endtime", 1},
    {"@bgcolor", 1},
    {"@nostats", 0},
}};

const HeaderCommand* headerCommand(const std::string& word) {
    for (const HeaderCommand& command : kHeaderCommands) {
        if (word == command.word) return &command;
    }
    return nullptr;
}

bool isStatementWord(const std::string& word) {
    return word == "create" || word == "anim" || word == "delete" || word == "{";
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string formatReal(double value) {
    char text[64];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

}  // namespace

Diagnostics ShowAnalysis::warnings(const SceneList* scenes) const {
    Diagnostics out;
    checkHeaderWords(out);
    checkNumbers(out);
    checkStatements(out);
    if (scenes) checkScenes(*scenes, out);
    sortByLine(out);
    return out;
}

void ShowAnalysis::checkHeaderWords(Diagnostics& out) const {
    if (trace_.dataToken < 0 || trace_.codeToken < trace_.dataToken) return;
    bool afterUnknownCommand = false;  // words after an unknown command are taken as its arguments
    for (std::int32_t i = trace_.dataToken + 1; i < trace_.codeToken; ++i) {
        const std::string& word = script_.token(i);
        if (const HeaderCommand* command = headerCommand(word)) {
            afterUnknownCommand = false;
            i += command->arguments;
            if (word == "@loadimage" && i + 1 < trace_.codeToken && script_.token(i + 1) == "alpha") i += 2;
            continue;
        }
        if (!word.empty() && word[0] == '@') {
            afterUnknownCommand = true;
            out.push_back(at(i, Severity::Warning, "unknown header command " + quoted(word) + " is ignored"));
        } else if (!afterUnknownCommand) {
            out.push_back(at(i, Severity::Warning, quoted(word) + " is no header command and is ignored"));
        }
    }
}

void ShowAnalysis::checkNumber(std::int32_t token, bool integer, Diagnostics& out) const {
    if (token < 0 || token >= script_.size()) return;
    const std::string& text = script_.token(token);
    const std::size_t taken = integer ? decimalIntegerLength(text.c_str()) : decimalRealLength(text.c_str());
    if (taken == text.size()) return;
    const std::string value =
        integer ? std::to_string(decimalInteger(text.c_str())) : formatReal(decimalReal(text.c_str()));
    if (taken == 0) {
        out.push_back(at(token, Severity::Warning, quoted(text) + " is no number and is read as " + value));
    } else {
        out.push_back(at(token, Severity::Warning,
                         "number " + quoted(text) + " is read as " + value + " (the reader takes only " +
                             quoted(text.substr(0, taken)) + (integer ? ", a whole decimal number)" : ")")));
    }
}

void ShowAnalysis::checkNumbers(Diagnostics& out) const {
    auto argumentOf = [&](const char* command) {
        const std::int32_t j = script_.findMatch(0, command);
        return j < 0 ? -1 : j + 1;
    };
    checkNumber(argumentOf("@starttime"), false, out);
    checkNumber(argumentOf("@endtime"), false, out);
    if (const std::int32_t colour = argumentOf("@bgcolor"); colour >= 0 && colour < script_.size()) {
        const std::string& text = script_.token(colour);
        if (decimalIntegerLength(text.c_str()) != text.size()) {
            out.push_back(at(colour, Severity::Warning,
                             "number " + quoted(text) + " is read as " +
                                 std::to_string(static_cast<std::uint32_t>(decimalInteger(text.c_str()))) +
                                 " (colours are written as decimal A8R8G8B8 numbers)"));
        }
    }

    for (std::size_t i = 0; i < trace_.statements.size(); ++i) {
        const StatementRecord& s = trace_.statements[i];
        if (s.isBaseTime) {
            checkNumber(s.first + 1, false, out);
        } else if (!followsStrayWord(i)) {
            checkNumber(s.first, false, out);
            checkNumber(s.first + 1, true, out);
        }
    }
}

// A stray statement word is read as the next statement's time, and the words after it are read
// out of step until a statement happens to line up again. Only the first stray word is
// reported; the statements that follow from it are not reported again for their numbers.
bool ShowAnalysis::followsStrayWord(std::size_t statement) const {
    return statement > 0 && trace_.statements[statement - 1].strayWord >= 0 &&
           trace_.statements[statement - 1].strayWord == trace_.statements[statement].first;
}

void ShowAnalysis::checkStatements(Diagnostics& out) const {
    std::array<std::int32_t, LayerCount> pending;
    pending.fill(-1);
    for (std::size_t i = 0; i < trace_.statements.size(); ++i) {
        const StatementRecord& s = trace_.statements[i];
        if (s.strayWord >= 0 && !followsStrayWord(i)) {
            out.push_back(at(s.strayWord, Severity::Warning,
                             quoted(script_.token(s.strayWord)) +
                                 " is no statement word (create, anim, delete or {): the statement "
                                 "ends before it, and it is read as the time of the next statement"));
        }
        if (s.openToken >= 0) {
            const std::int32_t end = s.closeToken >= 0 ? s.closeToken : script_.size();
            for (std::int32_t k = s.openToken + 1; k < end; ++k) {
                const std::string& word = script_.token(k);
                if (isStatementWord(word) || word == "@eof") {
                    out.push_back(at(k, Severity::Warning,
                                     quoted(word) + " inside the parameter block opened in line " +
                                         std::to_string(lines_.lineOf(s.openToken)) +
                                         ": that block is probably missing its '}'"));
                    break;
                }
            }
        }
        if (s.slot < 0 || s.layer < 0 || s.layer >= LayerCount) continue;
        std::int32_t& created = pending[static_cast<std::size_t>(s.layer)];
        const std::string layer = std::to_string(s.layer);
        if (s.createToken >= 0) {
            if (created >= 0) {
                out.push_back(at(s.createToken, Severity::Warning,
                                 "'create' on layer " + layer + " before the event created in line " +
                                     std::to_string(lines_.lineOf(created)) + " is deleted: this one replaces it"));
            }
            created = s.createToken;
        } else if (created < 0 && (s.animToken >= 0 || (s.openToken >= 0 && s.deleteToken < 0))) {
            const std::int32_t word = s.animToken >= 0 ? s.animToken : s.openToken;
            out.push_back(at(word, Severity::Warning,
                             quoted(script_.token(word)) + " on layer " + layer +
                                 ", which has no event created: its block goes to the next event "
                                 "created on that layer"));
        }
        if (s.deleteToken >= 0) {
            if (created < 0) {
                out.push_back(at(s.deleteToken, Severity::Warning,
                                 "'delete' on layer " + layer +
                                     ", which has no event created: it ends an event without an effect class"));
            }
            created = -1;
        }
    }
    for (std::size_t layer = 0; layer < pending.size(); ++layer) {
        const std::int32_t created = pending[layer];
        if (created < 0) continue;
        const std::string className = created + 1 < script_.size() ? script_.token(created + 1) : "";
        out.push_back(at(created, Severity::Warning,
                         "the event " + quoted(className) + " created on layer " + std::to_string(layer) +
                             " is never deleted, so it never plays (end it with 'TIME " + std::to_string(layer) +
                             " delete')"));
    }
}

std::vector<SceneEventNames> ShowAnalysis::sceneEvents() const {
    std::vector<SceneEventNames> events;
    for (std::int32_t layer = 0; layer < LayerCount; ++layer) {
        for (std::int32_t slot = 0; slot < layers_[layer].eventCount; ++slot) {
            if (layers_[layer].events[slot].className != kSceneEffectClass) continue;
            SceneEventNames names;
            names.layer = layer;
            names.slot = slot;
            for (const StatementRecord& s : trace_.statements) {
                if (s.layer != layer || s.slot != slot || s.openToken < 0 || s.closeToken < 0) continue;
                for (std::int32_t k = s.openToken + 1; k + 1 < s.closeToken;) {
                    const std::string& word = script_.token(k);
                    if (word == "file") names.fileToken = k + 1;
                    if (word == "camera") names.cameraToken = k + 1;
                    k += (word == "file" || word == "camera" || word == "fps") ? 2 : 1;
                }
            }
            events.push_back(names);
        }
    }
    return events;
}

void ShowAnalysis::checkScenes(const SceneList& scenes, Diagnostics& out) const {
    const std::vector<SceneEventNames> events = sceneEvents();
    std::set<std::string> used;
    for (const SceneEventNames& event : events) {
        if (event.fileToken < 0) continue;
        const std::string& sceneName = script_.token(event.fileToken);
        used.insert(sceneName);
        const Scene* scene = scenes.findScene(sceneName);
        if (!scene || scene->cameras.empty() || event.cameraToken < 0) continue;
        const std::string& cameraName = script_.token(event.cameraToken);
        std::string list;
        bool found = false;
        for (const Camera* camera : scene->cameras) {
            found = found || camera->name == cameraName;
            list += (list.empty() ? "" : ", ") + camera->name;
        }
        if (found) continue;
        out.push_back(at(event.cameraToken, Severity::Warning,
                         "scene " + quoted(sceneName) + " has no camera " + quoted(cameraName) +
                             ", so its first camera " + quoted(scene->cameras.front()->name) +
                             " is used (its cameras: " + list + ")"));
    }
    for (std::int32_t i = 0; i < script_.countOf("@loadscene"); ++i) {
        const std::int32_t name = script_.findMatch(i, "@loadscene") + 1;
        if (name >= script_.size() || used.count(script_.token(name))) continue;
        out.push_back(at(name, Severity::Warning,
                         "scene " + quoted(script_.token(name)) + " is loaded but no scene effect uses it"));
    }
}

void sortByLine(Diagnostics& diagnostics) {
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
}

}  // namespace quorvel
