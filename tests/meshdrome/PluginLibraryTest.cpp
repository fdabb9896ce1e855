// The built meshdrome.so as the engine loads it: one export, the "scene" class, and instances
// that play a scene handed over in the engine's own records.
#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <vector>

#include "MeshdromeTesting.h"

using namespace quorvel::testing;

namespace {

class LoadedPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        library = dlopen(MESHDROME_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto entry = reinterpret_cast<GetClassDescFunction>(dlsym(library, GetClassDescExportName));
        ASSERT_NE(entry, nullptr);
        desc = entry();
        ASSERT_NE(desc, nullptr);
        EXPECT_EQ(entry(), desc) << "the same descriptor on every call";
    }
    void TearDown() override {
        if (library) dlclose(library);
    }

    void* library = nullptr;
    EffectClassDesc* desc = nullptr;
};

}  // namespace

TEST_F(LoadedPlugin, ExportsOnlyTheClassDescriptorEntry) {
    // The dynamic symbol table lists what the library defines for others: only the entry point.
    // Symbols of its own code, of the shared library and of C++ runtime templates stay hidden.
    std::FILE* pipe = popen("nm -D --defined-only --format=posix '" MESHDROME_LIBRARY "'", "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> names;
    char line[1024];
    while (std::fgets(line, sizeof(line), pipe)) {
        std::string text(line);
        names.push_back(text.substr(0, text.find(' ')));
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(names, std::vector<std::string>{"GetClassDesc"});
    EXPECT_STREQ(desc->ClassName(), "scene");
}

TEST_F(LoadedPlugin, InstancePlaysASceneFromTheEnginesList) {
    threeds::SceneDesc sceneDesc;
    sceneDesc.meshes = {mesh("Box", 3)};
    sceneDesc.cameras = {camera("Cam")};
    sceneDesc.frames = std::array<std::int32_t, 2>{0, 40};
    threeds::NodeDesc node;
    node.id = 0;
    node.name = "Box";
    node.position = threeds::TrackDesc{};
    node.position->keys = {{0, 0, {}, {0, 0, 0}}, {40, 0, {}, {40, 0, 0}}};
    sceneDesc.nodes = {node};
    SceneFolder folder;
    Scene* scene = folder.load("box.3ds", sceneDesc);

    Effect* effect = desc->CreateEffect();
    ASSERT_NE(effect, nullptr);
    Effect* other = desc->CreateEffect();
    ASSERT_NE(other, nullptr);
    EXPECT_NE(effect, other);

    auto params = paramText("time 0.000000 { fps 10 file box.3ds }");
    EXPECT_EQ(effect->ParseParams(params.get()), 0);
    EngineServices services{nullptr, nullptr, &folder.list};
    EXPECT_EQ(effect->Init(&services), 0);
    // The library's copy of the posing writes the engine's scene records.
    EXPECT_EQ(effect->Update(2.0f), 0);  // frame 20 of 40
    EXPECT_NEAR(scene->meshes[0]->position.x, 2.0f, 1e-4f);
    EXPECT_EQ(effect->Stop(), 0);
    EXPECT_EQ(effect->DestroyDeviceObjects(), 0);
    EXPECT_EQ(effect->Shutdown(), 0);  // frees the instance inside the library
    EXPECT_EQ(other->Shutdown(), 0);
}
