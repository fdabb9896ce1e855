// Loading scenes by name through the list, finding and destroying them.
#include <gtest/gtest.h>

#include "scene/SceneList.h"
#include "support/TempDir.h"
#include "tests/scene/SceneTesting.h"

using namespace quorvel::testing;

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

TEST_F(SceneListTest, FilesLargerThanTheReadWindowLoadAsFromMemory) {
    threeds::SceneDesc desc;
    threeds::MeshDesc mesh;
    mesh.name = "Long";
    for (int i = 0; i < 12000; ++i) {  // about 240 KB of vertices and coordinates
        const float f = static_cast<float>(i);
        mesh.vertices.push_back({f, f * 0.5f, -f});
        mesh.uvs.push_back({f, 1.0f - f});
    }
    for (std::uint16_t i = 0; i + 2 < 12000; i += 3)
        mesh.faces.push_back({i, static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 2)});
    desc.meshes = {mesh, triangleMesh("After")};
    const auto bytes = threeds::buildScene(desc);
    dir.write("long.3ds", asText(bytes));
    SceneList::setBasePath(dir.path() + "/");
    SceneList list;
    Scene* fromFile = list.loadScene("long.3ds");
    ASSERT_NE(fromFile, nullptr);
    auto fromMemory = load(bytes);
    ASSERT_EQ(fromFile->meshes.size(), 2u);
    const auto& a = fromFile->meshes[0]->vertices;
    const auto& b = fromMemory->meshes[0]->vertices;
    ASSERT_EQ(a.size(), 12000u);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].position.x, b[i].position.x) << i;
        ASSERT_EQ(a[i].position.z, b[i].position.z) << i;
        ASSERT_EQ(a[i].v, b[i].v) << i;
    }
    EXPECT_EQ(fromFile->meshes[0]->faces.size(), 4000u);
    EXPECT_EQ(fromFile->meshes[1]->name, "After");
}
