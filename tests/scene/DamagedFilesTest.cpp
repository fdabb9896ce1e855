// Damaged and hostile files: truncation, lengths that lie, counts that lie, deep nesting.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "support/CapturedReports.h"
#include "tests/scene/SceneTesting.h"

using namespace quorvel::testing;
using quorvel::ChunkId;
using threeds::NodeDesc;
using threeds::SceneDesc;

namespace {

SceneDesc fullScene() {
    SceneDesc desc;
    threeds::MaterialDesc mat;
    mat.name = "Mat";
    mat.diffuse = threeds::Colour{1, 0.5f, 0.25f};
    mat.textureMap = "TEX.JPG";
    desc.materials = {mat};
    threeds::MeshDesc mesh = triangleMesh("Box");
    mesh.uvs = {{0, 0}, {1, 0}, {0, 1}};
    mesh.groups = {{"Mat", {0}}};
    mesh.localMatrix = std::array<float, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    desc.meshes = {mesh};
    threeds::LightDesc light = namedLight("L");
    light.innerRange = 10.0f;
    light.spot = threeds::SpotDesc{{0, 0, 0}, 1, 2};
    desc.lights = {light};
    desc.cameras = {{"C", {1, 2, 3}, {}}};
    desc.frames = std::array<std::int32_t, 2>{0, 100};
    NodeDesc box;
    box.id = 0;
    box.name = "Box";
    box.pivot = threeds::Vec3{1, 1, 1};
    box.position = threeds::TrackDesc{0, {{0, 1, {0.5f}, {1, 2, 3}}, {100, 0, {}, {4, 5, 6}}}, std::nullopt};
    box.rotation = threeds::TrackDesc{0, {{0, 0, {}, {1, 0, 0, 1}}, {50, 0, {}, {1, 0, 1, 0}}}, std::nullopt};
    NodeDesc cam;
    cam.kind = threeds::NodeKind::Camera;
    cam.id = 1;
    cam.name = "C";
    cam.parent = 0;
    cam.fov = threeds::TrackDesc{0, {{0, 0, {}, {45}}}, std::nullopt};
    desc.nodes = {box, cam};
    return desc;
}

// A material chunk holding nothing but its name.
void materialChunk(threeds::ChunkWriter& out, const std::string& name) {
    out.begin(ChunkId::Material);
    out.textChunk(ChunkId::MaterialName, name);
    out.end();
}

std::vector<std::string> materialNames(const SceneReader& scene) {
    std::vector<std::string> names;
    for (const Material* material : scene.materials) names.push_back(material->name);
    return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(DamagedFiles, EveryTruncationLoadsWhatWasComplete) {
    const auto bytes = threeds::buildScene(fullScene());
    auto complete = load(bytes);
    ASSERT_EQ(complete->meshes.size(), 1u);
    ASSERT_EQ(complete->meshes[0]->positionTrack.keyCount, 2);

    quorvel::testing::CapturedReports quiet;  // the key debug lines of every attempt
    std::size_t lastVertexCount = 0;
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        // A copy of exactly the prefix, so reading one byte too far is seen by the sanitizers.
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + size);
        auto scene = load(prefix);
        // Whatever was read is consistent: sizes never exceed the complete file's.
        EXPECT_LE(scene->meshes.size(), 1u);
        EXPECT_LE(scene->materials.size(), 1u);
        for (const Mesh* m : scene->meshes) {
            EXPECT_LE(m->vertices.size(), 3u);
            EXPECT_GE(m->vertices.size(), lastVertexCount);  // more file, never fewer vertices
            lastVertexCount = m->vertices.size();
            EXPECT_LE(m->positionTrack.keyCount, 2);
            for (const FaceGroup* g : m->faceGroups) EXPECT_LE(g->faces.size(), 1u);
        }
    }
}

TEST(DamagedFiles, ChunkClaimingMoreThanItsParentIsCutToTheParent) {
    threeds::ChunkWriter out;
    out.begin(ChunkId::Main);
    out.begin(ChunkId::Editor);
    out.begin(ChunkId::Material);
    const std::size_t name = out.begin(ChunkId::MaterialName);
    out.str("Greedy");
    out.end();
    out.setLength(name, std::numeric_limits<std::int32_t>::max());  // claims the rest of the world
    out.end();
    // This material's chunk is a sibling of the greedy one's parent: still read.
    materialChunk(out, "Next");
    out.end();
    const std::size_t overlong = out.begin(ChunkId::Editor);  // past the end of the file
    materialChunk(out, "Last");
    out.end();
    out.setLength(overlong, 1000000);
    out.end();
    auto scene = load(out.take());
    // The greedy name stops at its parent's end, not at the next chunk's bytes.
    EXPECT_EQ(materialNames(*scene), (Names{"Greedy", "Next", "Last"}));
}

TEST(DamagedFiles, ChunkShorterThanItsHeaderEndsTheWalkOfItsLevel) {
    threeds::ChunkWriter out;
    out.begin(ChunkId::Main);
    out.begin(ChunkId::Editor);
    materialChunk(out, "Kept");
    const std::size_t bad = out.begin(ChunkId::Material);
    out.end();
    out.setLength(bad, 3);
    materialChunk(out, "NotReached");
    out.end();
    out.end();
    auto scene = load(out.take());
    EXPECT_EQ(materialNames(*scene), Names{"Kept"});
}

TEST(DamagedFiles, CountsLargerThanTheChunkAllocateOnlyWhatFits) {
    auto bytes = meshFile("Liar", [](threeds::ChunkWriter& out) {
        out.begin(ChunkId::VertexList);
        out.u16(30000).vec3({1, 2, 3}).vec3({4, 5, 6}).u16(7);  // two vertices and a stray byte pair
        out.end();
        out.begin(ChunkId::FaceList);
        out.u16(30000).u16(0).u16(1).u16(1).u16(0);
        out.begin(ChunkId::MaterialGroup);  // never reached: the faces ran to the end of the chunk
        out.str("X").u16(1).i16(0);
        out.end();
        out.end();
        out.begin(ChunkId::MaterialGroup);
        out.str("Y").u16(60000).i16(0).i16(0);
        out.end();
    });
    auto scene = load(bytes);
    const Mesh& m = *scene->meshes[0];
    EXPECT_EQ(m.vertices.size(), 2u);
    EXPECT_LE(m.vertices.capacity(), 2u);
    // 4 faces' worth of bytes: the face data plus the group chunk's 15 bytes read as faces.
    EXPECT_LE(m.faces.capacity(), 4u);
    ASSERT_EQ(m.faceGroups.size(), 1u);
    EXPECT_EQ(m.faceGroups[0]->materialIndex, 0);
    EXPECT_EQ(m.faceGroups[0]->faces.size(), 2u);
    EXPECT_LE(m.faceGroups[0]->faces.capacity(), 2u);
}

TEST(DamagedFiles, NegativeFaceCountReadsNoFacesAndNoSubChunks) {
    threeds::SceneDesc desc;
    desc.materials = {namedMaterial("Mat")};
    threeds::MeshDesc mesh = triangleMesh("M");
    mesh.groups = {{"Mat", {0}}};
    desc.meshes = {mesh};
    auto bytes = threeds::buildScene(desc);
    // The face count sits right after the face-list chunk's header: its id, then the length 6 + 2
    // + one face (8) + the material group chunk (6 + "Mat" + 2 + 2 = 14).
    constexpr auto id = static_cast<std::uint16_t>(ChunkId::FaceList);
    const std::uint8_t faceList[] = {id & 0xFF, id >> 8, 30, 0, 0, 0};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(faceList), std::end(faceList));
    ASSERT_NE(at, bytes.end());
    at[6] = 0xFF;
    at[7] = 0xFF;
    auto scene = load(bytes);
    const Mesh& m = *scene->meshes[0];
    EXPECT_TRUE(m.faces.empty());
    ASSERT_EQ(m.faceGroups.size(), 1u);  // only the empty all-faces group; no material group
    EXPECT_EQ(m.faceGroups[0]->materialIndex, -1);
    EXPECT_TRUE(m.faceGroups[0]->faces.empty());
}

TEST(DamagedFiles, DeepNestingIsBoundedAndTheRestStillReads) {
    threeds::ChunkWriter out;
    out.begin(ChunkId::Main);
    constexpr int kLevels = 100000;
    for (int i = 0; i < kLevels; ++i) out.begin(ChunkId::Editor);
    for (int i = 0; i < kLevels; ++i) out.end();
    out.begin(ChunkId::Editor);
    materialChunk(out, "AfterTheDeepOne");
    out.end();
    out.end();
    auto scene = load(out.take());
    EXPECT_EQ(materialNames(*scene), Names{"AfterTheDeepOne"});
}

TEST(DamagedFiles, MaterialNameWithoutNulEndsWithItsChunk) {
    auto bytes = editorFile([](threeds::ChunkWriter& out) {
        out.begin(ChunkId::MaterialName);
        out.raw({'A', 'B', 'C'});
        out.end();
        out.textChunk(ChunkId::MaterialName, "D");
    });
    auto scene = load(bytes);
    EXPECT_EQ(materialNames(*scene), (Names{"ABC", "D"}));
}
