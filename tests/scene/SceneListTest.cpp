// Loading scenes by name through the list, finding and destroying them.
#include <gtest/gtest.h>

#include "scene/SceneList.h"
#include "support/TempDir.h"
#include "tests/scene/SceneTesting.h"

using namespace scenetest;
using quorvel::testing::TempDir;

namespace {

std::string asText(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

threeds::SceneDesc oneMesh(const std::string& meshName) {
    threeds::SceneDesc desc;
    desc.meshes = {triangleMesh(meshName)};
    return desc;
}

class SceneListTest : public ::testing::Test {
protected:
    void TearDown() override { SceneList::setBasePath(""); }
    TempDir dir;
};

}  // namespace

TEST_F(SceneListTest, LoadsBasePathPlusNameAndKeepsTheNameAsGiven) {
    dir.write("data/scenes/room.3ds", asText(threeds::buildScene(oneMesh("Room"))));
    SceneList::setBasePath(dir.path() + "/data/");
    SceneList list;
    Scene* scene = list.loadScene("scenes/room.3ds");
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->name, "scenes/room.3ds");
    ASSERT_EQ(scene->meshes.size(), 1u);
    EXPECT_EQ(scene->meshes[0]->name, "Room");
    ASSERT_EQ(list.scenes.size(), 1u);
    EXPECT_EQ(list.scenes[0], scene);
}

TEST_F(SceneListTest, BasePathIsSharedByEveryList) {
    dir.write("x.3ds", asText(threeds::buildScene(oneMesh("X"))));
    SceneList first;
    SceneList::setBasePath(dir.path() + "/");
    SceneList second;
    EXPECT_NE(second.loadScene("x.3ds"), nullptr);
    EXPECT_EQ(SceneList::basePath(), dir.path() + "/");
}

TEST_F(SceneListTest, NamesWrittenOnWindowsFindTheirFiles) {
    dir.write("data/Level/CRATE.3DS", asText(threeds::buildScene(oneMesh("Crate"))));
    SceneList::setBasePath(dir.path() + "/data/");
    SceneList list;
    Scene* scene = list.loadScene("level\\crate.3ds");
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->name, "level\\crate.3ds");
    EXPECT_EQ(scene->meshes.size(), 1u);
}

TEST_F(SceneListTest, MissingFileLoadsNothing) {
    SceneList::setBasePath(dir.path() + "/");
    SceneList list;
    EXPECT_EQ(list.loadScene("absent.3ds"), nullptr);
    EXPECT_TRUE(list.scenes.empty());
}

TEST_F(SceneListTest, EmptyAndForeignFilesLoadAsEmptyScenes) {
    dir.write("empty.3ds", "");
    dir.write("text.3ds", "MM this is not a scene, only text that starts like one");
    SceneList::setBasePath(dir.path() + "/");
    SceneList list;
    for (const char* name : {"empty.3ds", "text.3ds"}) {
        Scene* scene = list.loadScene(name);
        ASSERT_NE(scene, nullptr) << name;
        EXPECT_TRUE(scene->roots.empty());
        EXPECT_TRUE(scene->materials.empty());
        EXPECT_EQ(scene->startFrame, 0.0f);
        EXPECT_EQ(scene->endFrame, 0.0f);
    }
    EXPECT_EQ(list.scenes.size(), 2u);
}

TEST_F(SceneListTest, FindSceneIsExactAndFirstInLoadingOrder) {
    dir.write("a.3ds", asText(threeds::buildScene(oneMesh("One"))));
    SceneList::setBasePath(dir.path() + "/");
    SceneList list;
    Scene* first = list.loadScene("a.3ds");
    Scene* second = list.loadScene("a.3ds");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(list.findScene("a.3ds"), first);
    EXPECT_EQ(list.findScene("A.3DS"), nullptr);
    EXPECT_EQ(list.findScene("a.3ds "), nullptr);
    list.destroyAll();
    EXPECT_TRUE(list.scenes.empty());
    EXPECT_EQ(list.findScene("a.3ds"), nullptr);
}
