// Meshes, materials, lights and cameras of the editor section.
#include <gtest/gtest.h>

#include "tests/scene/SceneTesting.h"

using namespace quorvel::testing;
using quorvel::ChunkId;
using threeds::Colour;
using threeds::ColourFormat;
using threeds::MaterialDesc;
using threeds::MeshDesc;
using threeds::SceneDesc;

namespace {

std::uint16_t idx(const Face& f, int i) { return f.index[i]; }

// The object-space positions the reader gives the file-space points of a mesh with this local
// matrix.
std::vector<D3DVECTOR> positionsUnder(const std::array<float, 12>& localMatrix,
                                      const std::vector<threeds::Vec3>& points) {
    SceneDesc desc;
    MeshDesc mesh;
    mesh.name = "Placed";
    mesh.vertices = points;
    mesh.localMatrix = localMatrix;
    desc.meshes = {mesh};
    const auto scene = load(desc);
    std::vector<D3DVECTOR> positions;
    for (const auto& vertex : scene->meshes[0]->vertices) positions.push_back(vertex.position);
    return positions;
}

}  // namespace

TEST(MeshChunks, PointsSwapAxesAndScaleAndFacesReverseWinding) {
    SceneDesc desc;
    MeshDesc mesh;
    mesh.name = "Box01";
    mesh.vertices = {{10, 20, 30}, {-5, 0, 2.5f}, {0, 0, 0}};
    mesh.faces = {{0, 1, 2, 7}, {2, 0, 1, UINT16_MAX}};  // face flags of any value are dropped
    desc.meshes = {mesh};
    auto scene = load(desc);

    ASSERT_EQ(scene->meshes.size(), 1u);
    const Mesh& m = *scene->meshes[0];
    EXPECT_EQ(m.name, "Box01");
    EXPECT_EQ(m.type, NodeType::Mesh);
    ASSERT_EQ(m.vertices.size(), 3u);
    expectVec(m.vertices[0].position, 1, 3, 2);
    expectVec(m.vertices[1].position, -0.5f, 0.25f, 0);
    EXPECT_EQ(m.vertices[0].u, 0.0f);

    ASSERT_EQ(m.faces.size(), 2u);
    EXPECT_EQ(idx(m.faces[0], 0), 2);
    EXPECT_EQ(idx(m.faces[0], 1), 1);
    EXPECT_EQ(idx(m.faces[0], 2), 0);
    EXPECT_EQ(idx(m.faces[1], 0), 1);
    EXPECT_EQ(idx(m.faces[1], 2), 2);

    // Without material groups the mesh keeps the group of all faces.
    ASSERT_EQ(m.faceGroups.size(), 1u);
    EXPECT_EQ(m.faceGroups[0]->materialIndex, -1);
    EXPECT_EQ(m.faceGroups[0]->faces.size(), 2u);
    ASSERT_EQ(scene->roots.size(), 1u);
    EXPECT_EQ(scene->roots[0], scene->meshes[0]);
}

TEST(MeshChunks, VertexCountOf32768OrMoreReadsNothing) {
    auto bytes = meshFile("Big", [](threeds::ChunkWriter& out) {
        out.begin(ChunkId::VertexList);
        out.u16(32768);
        for (int i = 0; i < 4; ++i) out.vec3({1, 2, 3});
        out.end();
    });
    auto scene = load(bytes);
    ASSERT_EQ(scene->meshes.size(), 1u);
    EXPECT_TRUE(scene->meshes[0]->vertices.empty());
}

TEST(MeshChunks, MaterialGroupsReplaceTheAllFacesGroupAndAccumulate) {
    SceneDesc desc;
    desc.materials = {namedMaterial("Red"), namedMaterial("Blue")};
    MeshDesc mesh = triangleMesh("M");
    mesh.vertices.push_back({0, 0, 10});
    mesh.faces = {{0, 1, 2}, {0, 2, 3}, {1, 2, 3}, {0, 1, 3}};
    // Face 3 is named by no group; -1 and 4 are out of range and skipped.
    mesh.groups = {{"Blue", {2, -1, 0}}, {"Red", {1, 4}}};
    desc.meshes = {mesh};
    auto scene = load(desc);

    const Mesh& m = *scene->meshes[0];
    EXPECT_EQ(m.faces.size(), 4u);  // faces stays complete
    ASSERT_EQ(m.faceGroups.size(), 2u);
    EXPECT_EQ(m.faceGroups[0]->materialIndex, 1);
    ASSERT_EQ(m.faceGroups[0]->faces.size(), 2u);
    EXPECT_EQ(idx(m.faceGroups[0]->faces[0], 0), 3);  // face 2 = (1, 2, 3) reversed
    EXPECT_EQ(idx(m.faceGroups[0]->faces[1], 0), 2);  // face 0 = (0, 1, 2) reversed
    EXPECT_EQ(m.faceGroups[1]->materialIndex, 0);
    EXPECT_EQ(m.faceGroups[1]->faces.size(), 1u);
}

TEST(MeshChunks, UnknownMaterialGetsTheMaterialCountAsIndex) {
    SceneDesc desc;
    MeshDesc mesh = triangleMesh("M");
    mesh.groups = {{"Nowhere", {0}}};
    desc.meshes = {mesh};
    EXPECT_EQ(load(desc)->meshes[0]->faceGroups[0]->materialIndex, 0);

    desc.materials = {namedMaterial("nowhere"), namedMaterial("Nowhere2")};
    auto scene = load(desc);
    // Matching is exact: neither a case variant nor a longer name matches.
    EXPECT_EQ(scene->meshes[0]->faceGroups[0]->materialIndex, 2);
}

TEST(MeshChunks, TextureCoordinatesNegateVAndDropPairsBeyondTheVertices) {
    SceneDesc desc;
    MeshDesc mesh = triangleMesh("M");
    mesh.uvs = {{0.25f, 0.5f}, {1, 1}, {2, -3}, {9, 9}, {8, 8}};
    desc.meshes = {mesh};
    auto scene = load(desc);
    const auto& v = scene->meshes[0]->vertices;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].u, 0.25f);
    EXPECT_EQ(v[0].v, -0.5f);
    EXPECT_EQ(v[2].u, 2.0f);
    EXPECT_EQ(v[2].v, 3.0f);
}

TEST(MeshChunks, LocalMatrixMovesVerticesIntoObjectSpace) {
    const auto v = positionsUnder({1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 20, 30}, {{10, 20, 30}, {11, 20, 30}});
    ASSERT_EQ(v.size(), 2u);
    expectVec(v[0], 0, 0, 0);
    expectVec(v[1], 0.1f, 0, 0);
}

TEST(MeshChunks, LocalMatrixRotationIsUndoneInEngineAxes) {
    // Object x axis along file y: a vertex one unit along file y lies on the object's x axis.
    const auto v = positionsUnder({0, 1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0}, {{0, 10, 0}, {-10, 0, 5}});
    ASSERT_EQ(v.size(), 2u);
    expectVec(v[0], 1, 0, 0);
    expectVec(v[1], 0, 0.5f, 1);
}

TEST(MeshChunks, SingularLocalMatrixLeavesVerticesAlone) {
    const auto v = positionsUnder({1, 0, 0, 0, 0, 0, 0, 0, 1, 5, 5, 5}, {{10, 20, 30}});
    ASSERT_EQ(v.size(), 1u);
    expectVec(v[0], 1, 3, 2);
}

TEST(MaterialChunks, ColoursPercentagesFlagsAndMaps) {
    SceneDesc desc;
    MaterialDesc m;
    m.name = "Wall";
    m.ambient = Colour{0.1f, 0.2f, 0.3f, ColourFormat::Floats};
    m.diffuse = Colour{1.0f, 0.0f, 51 / 255.0f, ColourFormat::Bytes};
    m.specular = Colour{0.5f, 0.25f, 0.125f, ColourFormat::GammaFloats};
    m.shininess = 0.25f;
    m.shininessStrength = 0.05f;
    m.transparency = 0.75f;
    m.shading = 1;
    m.twoSided = m.additive = m.wire = m.faceMap = true;
    m.textureMap = "CWALL02.JPG";
    m.opacityMap = "MASK.TGA";
    desc.materials = {m, namedMaterial("Plain")};
    auto scene = load(desc);

    ASSERT_EQ(scene->materials.size(), 2u);
    const Material& wall = *scene->materials[0];
    EXPECT_EQ(wall.name, "Wall");
    EXPECT_FLOAT_EQ(wall.ambient.g, 0.2f);
    EXPECT_FLOAT_EQ(wall.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(wall.diffuse.b, 0.2f);
    EXPECT_FLOAT_EQ(wall.specular.b, 0.125f);
    EXPECT_EQ(wall.ambient.a, 0.0f);
    EXPECT_EQ(wall.diffuse.a, 0.0f);
    EXPECT_FLOAT_EQ(wall.shininess, 0.25f);
    EXPECT_FLOAT_EQ(wall.shininessStrength, 0.05f);
    EXPECT_FLOAT_EQ(wall.transparency, 0.75f);
    EXPECT_EQ(wall.flatShading, 1);
    EXPECT_EQ(wall.twoSided, 1);
    EXPECT_EQ(wall.additive, 1);
    EXPECT_EQ(wall.wire, 1);
    EXPECT_EQ(wall.faceMap, 1);
    EXPECT_EQ(wall.textureMap, "CWALL02.JPG");
    EXPECT_EQ(wall.opacityMap, "MASK.TGA");

    const Material& plain = *scene->materials[1];
    EXPECT_EQ(plain.flatShading, 0);
    EXPECT_EQ(plain.twoSided, 0);
    EXPECT_TRUE(plain.textureMap.empty());
    EXPECT_EQ(plain.diffuse.r, 0.0f);
}

TEST(MaterialChunks, PercentageAsFloatIsNotScaledAndShadingOtherThanOneIsNotFlat) {
    SceneDesc desc;
    MaterialDesc m;
    m.name = "F";
    m.shininess = 0.4f;
    m.percentAsFloat = true;
    m.shading = 3;
    desc.materials = {m};
    auto scene = load(desc);
    EXPECT_FLOAT_EQ(scene->materials[0]->shininess, 0.4f);
    EXPECT_EQ(scene->materials[0]->flatShading, 0);
}

TEST(MaterialChunks, LaterColourSubChunkWinsAndEmptyColourChunkCopiesThePreviousColour) {
    auto bytes = editorFile([](threeds::ChunkWriter& out) {
        out.begin(ChunkId::Material);
        out.textChunk(ChunkId::MaterialName, "Mixed");
        out.begin(ChunkId::MaterialAmbient);
        writeColour(out, {1, 0, 0, ColourFormat::Bytes});
        writeColour(out, {0, 0, 1, ColourFormat::GammaBytes});
        out.end();
        out.chunk(ChunkId::MaterialDiffuse);  // no colour inside
        out.end();
    });
    auto scene = load(bytes);
    const Material& m = *scene->materials[0];
    EXPECT_EQ(m.ambient.r, 0.0f);
    EXPECT_EQ(m.ambient.b, 1.0f);
    EXPECT_EQ(m.diffuse.b, 1.0f);
}

TEST(MaterialChunks, MapNameInAReflectionMapChunkOverwritesTheLastSelectedMap) {
    auto bytes = editorFile([](threeds::ChunkWriter& out) {
        out.begin(ChunkId::Material);
        out.textChunk(ChunkId::MaterialName, "Maps");
        out.begin(ChunkId::MapName);  // before any map chunk: no slot selected, ignored
        out.str("LOST.JPG");
        out.end();
        out.begin(ChunkId::OpacityMap);
        out.textChunk(ChunkId::MapName, "OPAC.JPG");
        out.end();
        out.begin(ChunkId::ReflectionMap);
        out.textChunk(ChunkId::MapName, "REFL.JPG");
        out.end();
        out.end();
    });
    auto scene = load(bytes);
    EXPECT_EQ(scene->materials[0]->textureMap, "");
    EXPECT_EQ(scene->materials[0]->opacityMap, "REFL.JPG");
}

TEST(LightChunks, LightsSpotlightsAndScratchValuesCarriedAcrossObjects) {
    SceneDesc desc;
    MaterialDesc m;
    m.name = "Shiny";
    m.specular = Colour{0.5f, 0.6f, 0.7f};
    desc.materials = {m};
    threeds::LightDesc first;
    first.name = "Omni";
    first.position = {10, 20, 30};
    first.innerRange = 1000;
    first.outerRange = 2000;
    first.multiplier = 1.5f;
    threeds::LightDesc spot;
    spot.name = "Spot";
    spot.colour = Colour{0.2f, 0.3f, 0.4f};
    spot.spot = threeds::SpotDesc{{0, 0, -10}, 30, 45};
    desc.lights = {first, spot};
    auto scene = load(desc);

    ASSERT_EQ(scene->lights.size(), 2u);
    const Light& omni = *scene->lights[0];
    EXPECT_EQ(omni.type, NodeType::Light);
    expectVec(omni.position, 1, 3, 2);
    // No colour of its own: the last colour read in the file, the material's specular.
    EXPECT_FLOAT_EQ(omni.colour.g, 0.6f);
    EXPECT_EQ(omni.colour.a, 0.0f);
    EXPECT_FLOAT_EQ(omni.multiplier, 1.5f);
    EXPECT_EQ(omni.isSpot, 0);
    EXPECT_EQ(omni.hotspot, 0.0f);
    EXPECT_EQ(omni.falloff, 0.0f);
    expectVec(omni.targetPosition, 0, 0, 0);
    EXPECT_EQ(omni.spotTarget, nullptr);

    const Light& s = *scene->lights[1];
    EXPECT_FLOAT_EQ(s.colour.r, 0.2f);
    EXPECT_EQ(s.isSpot, 1);
    expectVec(s.targetPosition, 0, -1, 0);
    EXPECT_EQ(s.hotspot, 30.0f);
    EXPECT_EQ(s.falloff, 45.0f);
    // Ranges carry over from the first light (and are scaled at finishing).
    EXPECT_FLOAT_EQ(s.innerRange, 100.0f);
    EXPECT_FLOAT_EQ(s.outerRange, 200.0f);
    EXPECT_EQ(s.multiplier, 0.0f);
}

TEST(CameraChunks, CameraPositionTargetAndDefaults) {
    SceneDesc desc;
    desc.cameras = {{"Cam01", {10, 20, 30}, {0, 0, 10}, 5, 50}, {"Cam02", {}, {}}};
    auto scene = load(desc);
    ASSERT_EQ(scene->cameras.size(), 2u);
    const Camera& c = *scene->cameras[0];
    EXPECT_EQ(c.name, "Cam01");
    EXPECT_EQ(c.type, NodeType::Camera);
    expectVec(c.position, 1, 3, 2);
    expectVec(c.targetPosition, 0, 1, 0);
    EXPECT_EQ(c.fov, 90.0f);
    EXPECT_EQ(c.roll, 0.0f);
    EXPECT_EQ(c.target, nullptr);
    EXPECT_EQ(c.fovTrack.keyCount, 0);
}

TEST(EditorChunks, SubChunksWithoutTheirObjectAreIgnored) {
    auto bytes = editorFile([](threeds::ChunkWriter& out) {
        out.begin(ChunkId::VertexList);
        out.u16(1).vec3({1, 2, 3});
        out.end();
        out.begin(ChunkId::Spotlight);
        out.vec3({1, 1, 1}).f32(1).f32(2);
        out.end();
        out.chunk(ChunkId::MaterialTwoSided);
        out.begin(ChunkId::MaterialAmbient);
        writeColour(out, {1, 1, 1});
        out.end();
        out.begin(ChunkId::Light);  // a light made from here on takes the colour read before it
        out.vec3({0, 0, 0});
        out.end();
    });
    auto scene = load(bytes);
    EXPECT_TRUE(scene->meshes.empty());
    EXPECT_TRUE(scene->materials.empty());
    ASSERT_EQ(scene->lights.size(), 1u);
    // The ignored material colour chunk read no colour.
    EXPECT_EQ(scene->lights[0]->colour.r, 0.0f);
}
