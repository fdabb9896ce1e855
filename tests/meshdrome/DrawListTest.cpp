// Init: scene and camera lookup, draw materials from scene materials, default materials, parts
// with running bases, and blended materials after opaque ones.
#include "MeshdromeTesting.h"
#include "engine/ImageBank.h"
#include "meshdrome/RuntimeRandom.h"
#include "support/CapturedReports.h"

using namespace quorvel::testing;
using quorvel::testing::CapturedReports;

namespace {

threeds::MaterialDesc material(const std::string& name) {
    threeds::MaterialDesc desc;
    desc.name = name;
    desc.percentAsFloat = true;
    return desc;
}

threeds::MaterialGroupDesc group(const std::string& name, std::vector<std::int16_t> faces) {
    return threeds::MaterialGroupDesc{name, std::move(faces)};
}

ImageEntry* addImage(ImageBank& bank, const std::string& name) {
    auto* entry = new ImageEntry();
    entry->name = name;
    bank.entries.push_back(entry);
    return entry;
}

void expectColour(const D3DCOLORVALUE& c, float r, float g, float b, float a) {
    EXPECT_NEAR(c.r, r, 1e-6f);
    EXPECT_NEAR(c.g, g, 1e-6f);
    EXPECT_NEAR(c.b, b, 1e-6f);
    EXPECT_NEAR(c.a, a, 1e-6f);
}

void expectPart(const DrawPart& part, const Mesh* mesh, UINT base, UINT first, UINT faces, UINT vertices) {
    EXPECT_EQ(part.mesh, mesh);
    EXPECT_EQ(part.baseVertex, base);
    EXPECT_EQ(part.firstFace, first);
    EXPECT_EQ(part.faceCount, faces);
    EXPECT_EQ(part.vertexCount, vertices);
}

// Five materials over three meshes: two opaque, three blended in different ways.
threeds::SceneDesc materialScene() {
    threeds::SceneDesc desc;
    auto red = material("red");
    red.diffuse = threeds::Colour{1.0f, 0.0f, 0.0f};
    red.ambient = threeds::Colour{0.1f, 0.2f, 0.3f};
    red.specular = threeds::Colour{1.0f, 0.5f, 0.25f};
    red.shininess = 0.4f;
    red.shininessStrength = 0.5f;
    auto glass = material("glass");
    glass.diffuse = threeds::Colour{0.0f, 0.0f, 1.0f};
    glass.transparency = 0.25f;
    glass.additive = true;
    auto textured = material("tex");
    textured.textureMap = "WALL.JPG";
    textured.opacityMap = "MASK.PNG";
    auto mask = material("mask");
    mask.opacityMap = "MASK.PNG";
    auto plain = material("plain");
    plain.textureMap = "missing.jpg";
    desc.materials = {red, glass, textured, mask, plain};

    auto a = mesh("A", 4, {{0, 1, 2, 0}, {0, 2, 3, 0}, {1, 2, 3, 0}});
    a.groups = {group("glass", {0}), group("red", {1, 2})};
    auto b = mesh("B", 3, {{0, 1, 2, 0}, {2, 1, 0, 0}});
    b.groups = {group("mask", {0}), group("tex", {1})};
    auto c = mesh("C", 5);
    c.groups = {group("plain", {0})};
    desc.meshes = {a, b, c};
    desc.cameras = {camera("Main"), camera("Side")};
    return desc;
}

struct InitFixture : ::testing::Test {
    SceneFolder folder;
    ImageBank bank;
    EngineServices services{nullptr, &bank, &folder.list};
};

}  // namespace

TEST_F(InitFixture, SceneMaterialsBecomeDrawMaterialsOpaqueFirst) {
    Scene* scene = folder.load("mat.3ds", materialScene());
    ImageEntry* wall = addImage(bank, "WALL.JPG");
    ImageEntry* maskImage = addImage(bank, "MASK.PNG");
    EffectPtr effect = parsedEffect("time 0.000000 { file mat.3ds }");
    ASSERT_EQ(effect->Init(&services), 0);
    EXPECT_EQ(effect->scene, scene);

    ASSERT_EQ(effect->materials.size(), 5u);
    const DrawMaterial& red = *effect->materials[0];
    const DrawMaterial& plain = *effect->materials[1];
    const DrawMaterial& glass = *effect->materials[2];
    const DrawMaterial& textured = *effect->materials[3];
    const DrawMaterial& mask = *effect->materials[4];

    expectColour(red.material.Diffuse, 1.0f, 0.0f, 0.0f, 1.0f);
    expectColour(red.material.Ambient, 0.1f, 0.2f, 0.3f, 1.0f);
    expectColour(red.material.Specular, 0.5f, 0.25f, 0.125f, 1.0f);
    expectColour(red.material.Emissive, 0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(red.material.Power, 40.0f, 1e-4f);
    EXPECT_EQ(red.srcBlend, DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(red.destBlend, DWORD(D3DBLEND_INVSRCALPHA));
    EXPECT_FALSE(red.alphaBlend);
    EXPECT_EQ(red.colorOp, DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(red.image, nullptr);

    EXPECT_FALSE(plain.alphaBlend);
    EXPECT_EQ(plain.image, nullptr) << "a map the bank does not hold gives no image";

    // Transparency alone blends, with every alpha 1 - transparency; additive adds.
    EXPECT_TRUE(glass.alphaBlend);
    EXPECT_EQ(glass.destBlend, DWORD(D3DBLEND_ONE));
    expectColour(glass.material.Diffuse, 0.0f, 0.0f, 1.0f, 0.75f);
    EXPECT_NEAR(glass.material.Ambient.a, 0.75f, 1e-6f);
    EXPECT_NEAR(glass.material.Specular.a, 0.75f, 1e-6f);
    EXPECT_NEAR(glass.material.Emissive.a, 0.75f, 1e-6f);

    // Texture plus opacity map: the texture map's entry, modulated, blended.
    EXPECT_TRUE(textured.alphaBlend);
    EXPECT_EQ(textured.colorOp, DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(textured.image, wall);
    // Opacity map alone: its own entry, colour from the lighting only.
    EXPECT_TRUE(mask.alphaBlend);
    EXPECT_EQ(mask.colorOp, DWORD(D3DTOP_SELECTARG2));
    EXPECT_EQ(mask.image, maskImage);
    EXPECT_EQ(mask.destBlend, DWORD(D3DBLEND_INVSRCALPHA));
}

TEST_F(InitFixture, PartsCarryRunningVertexBasesAndFaceStarts) {
    Scene* scene = folder.load("mat.3ds", materialScene());
    EffectPtr effect = parsedEffect("time 0.000000 { file mat.3ds }");
    ASSERT_EQ(effect->Init(&services), 0);
    ASSERT_EQ(effect->materials.size(), 5u);
    Mesh* a = scene->meshes[0];
    Mesh* b = scene->meshes[1];
    Mesh* c = scene->meshes[2];

    // red, plain, glass, tex, mask after the reorder.
    ASSERT_EQ(effect->materials[0]->parts.size(), 1u);
    expectPart(*effect->materials[0]->parts[0], a, 0, 1, 2, 4);
    ASSERT_EQ(effect->materials[1]->parts.size(), 1u);
    expectPart(*effect->materials[1]->parts[0], c, 7, 5, 1, 5);
    ASSERT_EQ(effect->materials[2]->parts.size(), 1u);
    expectPart(*effect->materials[2]->parts[0], a, 0, 0, 1, 4);
    ASSERT_EQ(effect->materials[3]->parts.size(), 1u);
    expectPart(*effect->materials[3]->parts[0], b, 4, 4, 1, 3);
    ASSERT_EQ(effect->materials[4]->parts.size(), 1u);
    expectPart(*effect->materials[4]->parts[0], b, 4, 3, 1, 3);
}

TEST_F(InitFixture, UnmatchedGroupsGetSharedDefaultMaterials) {
    threeds::SceneDesc desc;
    desc.materials = {material("m0")};
    auto a = mesh("A", 3);  // no groups: the all-faces group, index -1
    auto b = mesh("B", 3);
    b.groups = {group("nosuch", {0})};  // index 1 = material count: shares A's default
    auto c = mesh("C", 3);  // another -1: a new default at position 2
    auto d = mesh("D", 3, {{0, 1, 2, 0}, {1, 2, 0, 0}});
    d.groups = {group("m0", {0}), group("other", {1})};
    desc.meshes = {a, b, c, d};
    desc.cameras = {camera("Cam")};
    Scene* scene = folder.load("def.3ds", desc);
    ASSERT_EQ(scene->meshes[1]->faceGroups[0]->materialIndex, 1);

    meshdrome::seedRuntimeRandom(1);  // the state of a fresh process
    EffectPtr effect = parsedEffect("time 0.000000 { file def.3ds }");
    ASSERT_EQ(effect->Init(&services), 0);
    ASSERT_EQ(effect->materials.size(), 3u);

    const DrawMaterial& first = *effect->materials[1];
    const DrawMaterial& second = *effect->materials[2];
    // The classic runtime sequence starts 41, 18467, 6334, 26500, 19169, 15724.
    expectColour(first.material.Diffuse, 141 / 255.0f, 122 / 255.0f, 234 / 255.0f, 1.0f);
    expectColour(second.material.Diffuse, 250 / 255.0f, 204 / 255.0f, 169 / 255.0f, 1.0f);
    expectColour(first.material.Ambient, 0.2f, 0.2f, 0.2f, 1.0f);
    expectColour(first.material.Specular, 0.0f, 0.0f, 0.0f, 1.0f);
    expectColour(first.material.Emissive, 0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(first.material.Power, 100.0f);
    EXPECT_FALSE(first.alphaBlend);
    EXPECT_EQ(first.colorOp, DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(first.image, nullptr);

    ASSERT_EQ(first.parts.size(), 3u);
    EXPECT_EQ(first.parts[0]->mesh, scene->meshes[0]);
    EXPECT_EQ(first.parts[1]->mesh, scene->meshes[1]);
    EXPECT_EQ(first.parts[2]->mesh, scene->meshes[3]);
    ASSERT_EQ(second.parts.size(), 1u);
    EXPECT_EQ(second.parts[0]->mesh, scene->meshes[2]);
    ASSERT_EQ(effect->materials[0]->parts.size(), 1u);
    expectPart(*effect->materials[0]->parts[0], scene->meshes[3], 9, 3, 1, 3);
}

TEST_F(InitFixture, BlendedMaterialsKeepTheirOrderAfterOpaqueOnes) {
    threeds::SceneDesc desc;
    for (const char* name : {"t1", "o1", "t2", "o2", "t3"}) {
        auto m = material(name);
        if (name[0] == 't') m.transparency = 0.5f;
        desc.materials.push_back(m);
    }
    auto a = mesh("A", 3, {{0, 1, 2, 0}, {0, 1, 2, 0}, {0, 1, 2, 0}, {0, 1, 2, 0}, {0, 1, 2, 0}});
    a.groups = {group("t1", {0}), group("o1", {1}), group("t2", {2}), group("o2", {3}), group("t3", {4})};
    desc.meshes = {a};
    desc.cameras = {camera("Cam")};
    folder.load("order.3ds", desc);
    EffectPtr effect = parsedEffect("time 0.000000 { file order.3ds }");
    ASSERT_EQ(effect->Init(&services), 0);
    ASSERT_EQ(effect->materials.size(), 5u);
    const UINT expectedFirstFaces[] = {1, 3, 0, 2, 4};  // o1, o2, t1, t2, t3
    for (std::size_t i = 0; i < 5; ++i) {
        ASSERT_EQ(effect->materials[i]->parts.size(), 1u);
        EXPECT_EQ(effect->materials[i]->parts[0]->firstFace, expectedFirstFaces[i]) << i;
        EXPECT_EQ(effect->materials[i]->alphaBlend, i >= 2 ? TRUE : FALSE) << i;
    }
}

TEST_F(InitFixture, FacesPastTheMeshVerticesAreLeftOutOfTheCounts) {
    threeds::SceneDesc desc;
    desc.meshes = {mesh("A", 3, {{0, 1, 2, 0}, {0, 1, 3, 0}, {2, 1, 0, 0}}), mesh("B", 3)};
    desc.cameras = {camera("Cam")};
    folder.load("bad.3ds", desc);
    EffectPtr effect = parsedEffect("time 0.000000 { file bad.3ds }");
    ASSERT_EQ(effect->Init(&services), 0);
    ASSERT_EQ(effect->materials.size(), 2u);
    expectPart(*effect->materials[0]->parts[0], effect->scene->meshes[0], 0, 0, 2, 3);
    expectPart(*effect->materials[1]->parts[0], effect->scene->meshes[1], 3, 2, 1, 3);
}

TEST_F(InitFixture, CameraByNameOrTheFirst) {
    folder.load("mat.3ds", materialScene());
    EffectPtr named = parsedEffect("time 0.000000 { file mat.3ds camera Side }");
    ASSERT_EQ(named->Init(&services), 0);
    ASSERT_NE(named->camera, nullptr);
    EXPECT_EQ(named->camera->name, "Side");

    for (const char* text : {"time 0.000000 { file mat.3ds camera side }", "time 0.000000 { file mat.3ds }"}) {
        EffectPtr fallback = parsedEffect(text);
        ASSERT_EQ(fallback->Init(&services), 0);
        EXPECT_EQ(fallback->camera, fallback->scene->cameras[0]) << text;
    }
}

TEST_F(InitFixture, MissingSceneOrCameraFailsWithItsMessage) {
    threeds::SceneDesc noCamera;
    noCamera.meshes = {mesh("A", 3)};
    folder.load("nocam.3ds", noCamera);
    folder.load("mat.3ds", materialScene());
    CapturedReports reports;

    EffectPtr empty = parsedEffect("time 0.000000 { }");
    EXPECT_EQ(empty->Init(&services), E_FAIL);
    EffectPtr wrongCase = parsedEffect("time 0.000000 { file MAT.3ds }");
    EXPECT_EQ(wrongCase->Init(&services), E_FAIL);
    EffectPtr noCam = parsedEffect("time 0.000000 { file nocam.3ds }");
    EXPECT_EQ(noCam->Init(&services), E_FAIL);

    ASSERT_EQ(reports.boxes.size(), 3u);
    EXPECT_EQ(reports.boxes[0].text, " not loaded. You need to load the scene before use.");
    EXPECT_EQ(reports.boxes[1].text, "MAT.3ds not loaded. You need to load the scene before use.");
    EXPECT_EQ(reports.boxes[2].text, "nocam.3ds has no camera(s)");
    EXPECT_EQ(reports.boxes[2].caption, "Error");
}

TEST_F(InitFixture, SecondInitRebuildsTheDrawList) {
    folder.load("mat.3ds", materialScene());
    EffectPtr effect = parsedEffect("time 0.000000 { file mat.3ds }");
    ASSERT_EQ(effect->Init(&services), 0);
    const DrawPart firstRed = *effect->materials[0]->parts[0];
    ASSERT_EQ(effect->Init(&services), 0);  // the old records are freed (LeakSanitizer watches)
    ASSERT_EQ(effect->materials.size(), 5u);
    ASSERT_EQ(effect->materials[0]->parts.size(), 1u);
    EXPECT_EQ(effect->materials[0]->parts[0]->firstFace, firstRed.firstFace);
}

TEST_F(InitFixture, MeshBeyondSixteenBitIndicesDrawsOnlyTheReachableVertexRange) {
    // 3D Studio files cannot hold such a mesh, but scenes made in memory can.
    auto* scene = new Scene();
    scene->name = "big";
    scene->cameras.push_back(new Camera("Cam"));
    for (std::size_t count : {std::size_t{70000}, std::size_t{3}}) {
        auto* m = new Mesh("m");
        m->vertices.resize(count);
        auto* all = new FaceGroup();
        all->faces = {Face{{0, 1, 2}}, Face{{65535, 1, 2}}};
        m->faceGroups.push_back(all);
        scene->meshes.push_back(m);
    }
    folder.list.scenes.push_back(scene);

    EffectPtr effect = parsedEffect("time 0.000000 { file big }");
    ASSERT_EQ(effect->Init(&services), 0);
    ASSERT_EQ(effect->materials.size(), 2u);
    expectPart(*effect->materials[0]->parts[0], scene->meshes[0], 0, 0, 2, 65536);
    // The next mesh still starts after every vertex of the big one.
    expectPart(*effect->materials[1]->parts[0], scene->meshes[1], 70000, 2, 1, 3);
}
