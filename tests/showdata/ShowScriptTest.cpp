// The bundled show script read as the engine reads it: a complete timeline whose events play
// scenes and cameras that exist and pictures that are loaded, with every file it names present
// in the data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ShowFiles.h"
#include "engine/Timeline.h"
#include "platform/win/OutputRedirection.h"
#include "scene/SceneList.h"

using namespace showtest;

namespace {

struct Event {
    int layer;
    float start, end;
    std::string className, scene, camera, image;
};

// The value after the last occurrence of keyword in an event's blocks: later blocks override
// earlier ones. Empty when the keyword does not occur.
std::string lastValue(const ScriptText& params, const char* keyword) {
    std::string value;
    for (std::int32_t i = 0; i + 1 < params.size(); ++i)
        if (params.token(i) == keyword) value = params.token(i + 1);
    return value;
}

class ShowScript : public testing::Test {
protected:
    void SetUp() override {
        quorvel::platform::setDebugOutputSink([](const std::string&) {});
        quorvel::platform::setMessageBoxSink(
            [this](const std::string& caption, const std::string& text) { messages.push_back(caption + ": " + text); });
        // The script is opened for update, as the engine does, so read a copy.
        copy = std::filesystem::temp_directory_path() / ("show_script_" + std::to_string(::getpid()) + ".txt");
        std::filesystem::copy_file(dataFolder() + "vantro.jpg", copy, std::filesystem::copy_options::overwrite_existing);
        layers = std::make_unique<Layer[]>(LayerCount);
        parsed = parseTimeline(script, layers.get(), copy.c_str());
        for (int l = 0; l < LayerCount; ++l)
            for (int e = 0; e < layers[l].eventCount; ++e) {
                const LayerEvent& ev = layers[l].events[e];
                events.push_back({l, ev.startTime, ev.endTime, ev.className, lastValue(ev.params, "file"),
                                  lastValue(ev.params, "camera"), lastValue(ev.params, "image")});
            }
    }
    void TearDown() override {
        quorvel::platform::setMessageBoxSink(nullptr);
        quorvel::platform::setDebugOutputSink(nullptr);
        std::filesystem::remove(copy);
    }

    std::vector<std::string> headerValues(const char* keyword) {
        std::vector<std::string> values;
        for (std::int32_t n = 0; n < script.countOf("%s", keyword); ++n) values.push_back(script.textAfter(n, 0, "%s", keyword));
        return values;
    }

    std::vector<std::string> messages;
    std::filesystem::path copy;
    ScriptText script;
    std::unique_ptr<Layer[]> layers;
    bool parsed = false;
    std::vector<Event> events;
};

}  // namespace

TEST_F(ShowScript, ReadsAsACompleteTimelineOfSceneEvents) {
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(messages.empty()) << messages.front();
    int sceneEvents = 0;
    for (const Event& ev : events) sceneEvents += ev.className == "scene" ? 1 : 0;
    ASSERT_EQ(sceneEvents, 7);
    int layersUsed = 0;
    for (int l = 0; l < LayerCount; ++l) layersUsed += layers[l].eventCount > 0 ? 1 : 0;
    EXPECT_GE(layersUsed, 4);
    // Titles, fades and credits come from the flat plug-ins, every other event is a scene.
    const std::vector<std::string> classes{"scene", "picture", "fade", "text"};
    for (int l = 0; l < LayerCount; ++l)
        for (int e = 0; e < layers[l].eventCount; ++e) {
            const LayerEvent& ev = layers[l].events[e];
            EXPECT_NE(std::find(classes.begin(), classes.end(), ev.className), classes.end()) << ev.className;
            EXPECT_LT(ev.startTime, ev.endTime);
            EXPECT_GE(ev.startTime, 0.0f);
            EXPECT_LE(ev.endTime, 60.0f) << "events past the end time are never seen";
        }
    ASSERT_EQ(script.countOf("@endtime"), 1);
    EXPECT_EQ(script.floatAfter(0, 0, "@endtime"), 60.0f);
}

TEST_F(ShowScript, NamesOnlyFilesThatExist) {
    ASSERT_TRUE(parsed);
    EXPECT_EQ(headerValues("@loadlibrary"),
              (std::vector<std::string>{"meshdrome.dll", "flatpicture.dll", "flatfade.dll", "flattext.dll"}));
    for (const std::string& scene : headerValues("@loadscene")) EXPECT_TRUE(dataFileExists(scene)) << scene;
    for (const std::string& music : headerValues("@loadmusic")) EXPECT_TRUE(dataFileExists(music)) << music;
    for (std::int32_t n = 0; n < script.countOf("@loadimage"); ++n) {
        EXPECT_TRUE(dataFileExists(script.textAfter(n, 0, "@loadimage")));
        if (std::string(script.textAfter(n, 1, "@loadimage")) == "alpha") {
            EXPECT_TRUE(dataFileExists(script.textAfter(n, 2, "@loadimage")));
        }
    }
}

TEST_F(ShowScript, EventsPlayLoadedScenesThroughTheirCameras) {
    ASSERT_TRUE(parsed);
    SceneList::setBasePath(dataFolder());
    SceneList scenes;
    for (const std::string& name : headerValues("@loadscene")) ASSERT_NE(scenes.loadScene(name), nullptr) << name;
    for (const Event& ev : events) {
        if (ev.className != "scene") continue;
        SCOPED_TRACE("layer " + std::to_string(ev.layer) + " at " + std::to_string(ev.start));
        Scene* scene = scenes.findScene(ev.scene);
        ASSERT_NE(scene, nullptr) << "the scene must be loaded under exactly this name";
        if (ev.camera.empty()) continue;  // the scene's first camera
        bool found = false;
        for (Camera* camera : scene->cameras) found = found || camera->name == ev.camera;
        EXPECT_TRUE(found) << "camera " << ev.camera << " would silently fall back to the first one";
    }
}

TEST_F(ShowScript, NoSceneIsPlayedTwiceAtOnce) {
    // Events share a scene's pose: two live events of one scene would fight over it.
    ASSERT_TRUE(parsed);
    for (std::size_t i = 0; i < events.size(); ++i)
        for (std::size_t j = i + 1; j < events.size(); ++j) {
            const Event &a = events[i], &b = events[j];
            if (a.className != "scene" || b.className != "scene" || a.scene != b.scene) continue;
            EXPECT_TRUE(a.end <= b.start || b.end <= a.start)
                << a.scene << " on layers " << a.layer << " and " << b.layer << " overlaps";
        }
}

TEST_F(ShowScript, PicturesShowLoadedImages) {
    ASSERT_TRUE(parsed);
    std::vector<std::string> loaded;
    for (std::int32_t n = 0; n < script.countOf("@loadimage"); ++n) loaded.push_back(script.textAfter(n, 0, "@loadimage"));
    int pictures = 0;
    for (const Event& ev : events) {
        if (ev.className != "picture") continue;
        ++pictures;
        EXPECT_NE(std::find(loaded.begin(), loaded.end(), ev.image), loaded.end())
            << ev.image << " on layer " << ev.layer << " is not loaded with @loadimage";
    }
    EXPECT_GE(pictures, 1) << "the title card";
}
