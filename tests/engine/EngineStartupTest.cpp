// Start-up from the script: header commands, plug-ins, scenes and effect creation, and the
// clean-up after a start-up that stopped half-way.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/engine/ShowFolderTest.h"
#include "tools/3dswriter/ThreeDSWriter.h"

using namespace quorvel::testing;

namespace {

// Runs each test inside a fresh show folder, with the recording plug-in's log attached.
class EngineStartup : public RecordingShowTest {
protected:
    void TearDown() override {
        engine.reset();
        RecordingShowTest::TearDown();
    }

    // The test plug-ins are named by absolute path, which makes them libraries that come with the
    // show: they load only when the show is trusted.
    HRESULT start(const std::string& script) {
        show_.write("data/vantro.jpg", script);
        engine->trustShow = true;
        return engine->onStartup();
    }

    std::unique_ptr<DemoEngine> engine = std::make_unique<DemoEngine>();
};

using Texts = std::vector<std::string>;

}  // namespace

TEST_F(EngineStartup, ConstructionDefaults) {
    EXPECT_STREQ(engine->windowTitle, "Redeve DemoQuorvel");
    EXPECT_EQ(engine->createWidth, 640u);
    EXPECT_EQ(engine->createHeight, 480u);
    EXPECT_TRUE(engine->wantDepthBuffer);
    EXPECT_TRUE(engine->showSetupDialog);
    EXPECT_TRUE(engine->showStats);
}

TEST_F(EngineStartup, ScriptWithoutHeaderCommandsGetsTheDefaults) {
    ASSERT_EQ(start("@data.\n@code.\n@eof\n"), S_OK);
    EXPECT_EQ(engine->demoStart, 0);
    EXPECT_EQ(engine->demoEnd, 100);
    EXPECT_TRUE(engine->showStats);
    EXPECT_EQ(engine->backgroundColour, 0xFF808080u);
    EXPECT_FALSE(engine->music.streamOpen);
    EXPECT_EQ(engine->musicBasePath, "data/");
    EXPECT_EQ(engine->images.basePath, "data/");
    EXPECT_EQ(SceneList::basePath(), "data/");
    EXPECT_NE(engine->font, nullptr);
    EXPECT_TRUE(reports.boxes.empty());
    EXPECT_EQ(engine->onShutdown(), S_OK);
    EXPECT_EQ(engine->font, nullptr);
}

TEST_F(EngineStartup, TimesAreTruncatedToWholeSeconds) {
    ASSERT_EQ(start("@data. @starttime 12.9 @endtime 60.7 @nostats @code. @eof\n"), S_OK);
    EXPECT_EQ(engine->demoStart, 12);
    EXPECT_EQ(engine->demoEnd, 60);
    EXPECT_FALSE(engine->showStats);

    engine = std::make_unique<DemoEngine>();
    ASSERT_EQ(start("@data. @starttime -0.5 @endtime 1e30 @code. @eof\n"), S_OK);
    EXPECT_EQ(engine->demoStart, 0);
    EXPECT_EQ(engine->demoEnd, 2147483647);  // held at the integer range, not undefined

    engine = std::make_unique<DemoEngine>();
    ASSERT_EQ(start("@data. @code. @eof @endtime\n"), S_OK);  // the reader's message, then -1
    EXPECT_EQ(engine->demoEnd, -1);
    EXPECT_EQ(boxTexts(), (Texts{"float not found after @endtime"}));
}

TEST_F(EngineStartup, BackgroundColourIsTheFirstBgcolorsBitPattern) {
    ASSERT_EQ(start("@data. @bgcolor 4278190335 @bgcolor 4294967295 @code. @eof\n"), S_OK);
    EXPECT_EQ(engine->backgroundColour, 0xFF0000FFu);
    engine = std::make_unique<DemoEngine>();
    ASSERT_EQ(start("@data. @bgcolor -16776961 @code. @eof\n"), S_OK);
    EXPECT_EQ(engine->backgroundColour, 0xFF0000FFu);
}

TEST_F(EngineStartup, ScenesLoadInScriptOrder) {
    show_.write("data/b.3ds", "not a 3ds file");  // readable: loads as an empty scene
    show_.write("data/a.3ds", "");
    ASSERT_EQ(start("@data. @loadscene b.3ds @loadscene a.3ds @code. @eof\n"), S_OK);
    ASSERT_EQ(engine->scenes.scenes.size(), 2u);
    EXPECT_EQ(engine->scenes.scenes[0]->name, "b.3ds");
    EXPECT_EQ(engine->scenes.scenes[1]->name, "a.3ds");

    engine = std::make_unique<DemoEngine>();
    EXPECT_EQ(start("@data. @loadscene a.3ds @loadscene missing.3ds @code. @eof\n"), E_FAIL);
    EXPECT_EQ(boxTexts(), (Texts{"Couldn't load missing.3ds"}));
    EXPECT_EQ(engine->scenes.scenes.size(), 1u);
    engine->onShutdown();
    EXPECT_TRUE(engine->scenes.scenes.empty());
}

// A scene whose reading writes one recognisable debug line: its one key's tension value.
void writeTaggedScene(TempDir& show, const std::string& name, float tension) {
    threeds::SceneDesc scene;
    threeds::MeshDesc mesh;
    mesh.name = "M";
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.faces = {{0, 1, 2, 0}};
    scene.meshes.push_back(mesh);
    threeds::NodeDesc node;
    node.name = "M";
    threeds::TrackDesc track;
    track.keys.push_back({0, 1, {tension}, {0, 0, 0}});
    node.position = track;
    scene.frames = std::array<std::int32_t, 2>{0, 10};
    scene.nodes.push_back(node);
    ASSERT_TRUE(threeds::saveFile(show.path() + "/data/" + name, threeds::buildScene(scene)));
}

// Scenes are read alongside each other, yet what they report comes out in script order, and
// nothing of the scenes after a failing one.
TEST_F(EngineStartup, SceneReportsKeepScriptOrderAndStopAtAFailure) {
    show_.write("data/keep", "");
    writeTaggedScene(show_, "a.3ds", 0.25f);
    writeTaggedScene(show_, "c.3ds", 0.75f);
    ASSERT_EQ(start("@data. @loadscene c.3ds @loadscene a.3ds @code. @eof\n"), S_OK);
    std::string debug = reports.debugText();
    ASSERT_NE(debug.find("data 0.750000"), std::string::npos);
    ASSERT_NE(debug.find("data 0.250000"), std::string::npos);
    EXPECT_LT(debug.find("data 0.750000"), debug.find("data 0.250000"));
    ASSERT_EQ(engine->scenes.scenes.size(), 2u);
    EXPECT_EQ(engine->scenes.scenes[0]->name, "c.3ds");

    reports.clear();
    engine = std::make_unique<DemoEngine>();
    EXPECT_EQ(start("@data. @loadscene a.3ds @loadscene missing.3ds @loadscene c.3ds @code. @eof\n"), E_FAIL);
    EXPECT_EQ(boxTexts(), (Texts{"Couldn't load missing.3ds"}));
    debug = reports.debugText();
    EXPECT_NE(debug.find("data 0.250000"), std::string::npos);
    EXPECT_EQ(debug.find("data 0.750000"), std::string::npos);
    ASSERT_EQ(engine->scenes.scenes.size(), 1u);
    EXPECT_EQ(engine->scenes.scenes[0]->name, "a.3ds");

    // A "@loadscene" without a name: the reader's message, then the engine's, and nothing more.
    reports.clear();
    engine = std::make_unique<DemoEngine>();
    show_.write("data/vantro.jpg", "@data. @loadscene a.3ds @code. @eof @loadscene");
    EXPECT_EQ(engine->onStartup(), E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 2u);
    EXPECT_EQ(reports.boxes[1].text, "Couldn't load ");
}

TEST_F(EngineStartup, EffectsAreCreatedAndParsedPerEventInLayerOrder) {
    const std::string script = "@data. @loadlibrary " + PluginA +
                               " @code. 0 5 create recorder { p5 } 1 5 delete"
                               " 0 2 create recorder { p2 @endtime 42 } 1 2 delete @eof\n";
    ASSERT_EQ(start(script), S_OK);
    EXPECT_EQ(calls, (Texts{"A0:ParseParams(time 0.000000 { p2 @endtime 42 })",
                            "A1:ParseParams(time 0.000000 { p5 })"}));
    // A header keyword inside a parameter block is still a header command.
    EXPECT_EQ(engine->demoEnd, 42);
    EXPECT_NE(engine->layers[2].events[0].effect, nullptr);

    calls.clear();
    engine->onShutdown();
    EXPECT_EQ(calls, (Texts{"A0:Shutdown", "A1:Shutdown"}));
    EXPECT_TRUE(engine->effectHost.libraries.empty());
}

TEST_F(EngineStartup, FailingLibraryNamesItselfAndStopsStartUp) {
    const std::string script = "@data. @loadlibrary " + PluginA + " @loadlibrary broken.dll @loadlibrary " +
                               PluginA + " @code. @eof\n";
    EXPECT_EQ(start(script), E_FAIL);
    EXPECT_EQ(boxTexts(), (Texts{"Couldn't load broken.dll"}));
    EXPECT_EQ(engine->effectHost.libraries.size(), 1u);  // loaded before the failure
    engine->onShutdown();
    EXPECT_TRUE(engine->effectHost.libraries.empty());
}

TEST_F(EngineStartup, UnknownClassIsNamedWithItsLineAndFailingParametersStopStartUp) {
    const std::string header = "@data. @loadlibrary " + PluginA + " @code.\n";
    EXPECT_EQ(start(header + "0 0 create recorder 1 0 delete\n0 1 create Recorder 1 1 delete\n0 2 create recorder"
                             " 1 2 delete @eof\n"),
              E_FAIL);
    EXPECT_EQ(boxTexts(),
              (Texts{"Couldn't create effect \"Recorder\" (line 3): no loaded plug-in offers this effect class."}));
    EXPECT_EQ(engine->startupFailure, boxTexts().front());
    EXPECT_EQ(engine->layers[2].events[0].effect, nullptr);  // never reached

    // onShutdown after the half-way start-up finalises exactly the effect that exists.
    calls.clear();
    engine->onShutdown();
    EXPECT_EQ(calls, (Texts{"A0:Shutdown"}));

    engine = std::make_unique<DemoEngine>();
    calls.clear();
    reports.clear();
    EXPECT_EQ(start(header + "0 0 create recorder { failparse } 1 0 delete @eof\n"), E_FAIL);
    EXPECT_TRUE(reports.boxes.empty()) << "a plug-in reports its own refusals";
    EXPECT_EQ(engine->startupFailure, "the effect \"recorder\" on layer 0 refused its parameters");
    engine->onShutdown();
}

TEST_F(EngineStartup, MissingOrBrokenScriptIsReported) {
    EXPECT_EQ(engine->onStartup(), E_FAIL);
    EXPECT_EQ(boxTexts(), (Texts{"Couldn't load data/vantro.jpg"}));
    engine->onShutdown();

    reports.clear();
    engine = std::make_unique<DemoEngine>();
    EXPECT_EQ(start("@data. @code. 0 70 create x @eof\n"), E_FAIL);
    EXPECT_EQ(boxTexts(), (Texts{"Line 0, Index 3\nSorry! You exceeded the maximum nuber of layers",
                                 "Couldn't load data/vantro.jpg"}));
    engine->onShutdown();
}
