// The "@loadscene" files read alongside the rest of start-up: each scene on a thread of its own,
// started before the plug-in libraries load, and taken over by the main thread in script order.
// What reading a scene reports (its debug lines), and what looking up its name in the script
// reports, is held back and shown when the main thread takes that scene, so reports come out in
// the same order as when the scenes were read one after another; for the scenes after a failure
// nothing is shown and what was read is thrown away.
#pragma once

#include <cstddef>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/ReportRecording.h"

class ScriptText;
struct Scene;

class SceneLoads {
public:
    // Looks up every "@loadscene" name and starts reading each named file.
    explicit SceneLoads(const ScriptText& script);
    // Waits for the reading not taken over and throws it away, reports included.
    ~SceneLoads();
    SceneLoads(const SceneLoads&) = delete;
    SceneLoads& operator=(const SceneLoads&) = delete;

    std::size_t count() const { return loads_.size(); }

    // Waits for scene i (in script order, each once), shows what looking it up and reading it
    // reported, and hands it over with its name: the scene is null when the name is missing or
    // the file cannot be opened.
    Scene* take(std::size_t i, const char*& name);

private:
    struct Read {
        Scene* scene = nullptr;
        std::vector<quorvel::platform::RecordedReport> reports;
    };
    struct Load {
        const char* name = nullptr;  // token of the script, or null
        std::vector<quorvel::platform::RecordedReport> lookupReports;
        std::future<Read> read;
        bool taken = false;
    };
    std::vector<std::unique_ptr<Load>> loads_;
};
