#include "engine/SceneLoads.h"

#include "scene/SceneList.h"
#include "script/ScriptText.h"

namespace {

using quorvel::platform::ReportRecording;

}  // namespace

SceneLoads::SceneLoads(const ScriptText& script) {
    const int count = script.countOf("@loadscene");
    for (int i = 0; i < count; ++i) {
        auto load = std::make_unique<Load>();
        {
            // A missing name is reported by the reader; that report waits for its turn too.
            ReportRecording lookup;
            load->name = script.textAfter(i, 0, "@loadscene");
            lookup.stop();
            load->lookupReports = lookup.take();
        }
        if (load->name) {
            load->read = std::async(std::launch::async, [name = std::string(load->name)] {
                ReportRecording recording;
                Read read;
                read.scene = SceneList::readScene(name);
                recording.stop();
                read.reports = recording.take();
                return read;
            });
        }
        loads_.push_back(std::move(load));
    }
}

SceneLoads::~SceneLoads() {
    for (const auto& load : loads_) {
        if (load->taken || !load->read.valid()) continue;
        delete load->read.get().scene;
    }
}

Scene* SceneLoads::take(std::size_t i, const char*& name) {
    Load& load = *loads_.at(i);
    load.taken = true;
    name = load.name;
    quorvel::platform::replayReports(load.lookupReports);
    if (!load.read.valid()) return nullptr;
    Read read = load.read.get();
    quorvel::platform::replayReports(read.reports);
    return read.scene;
}
