// The scene effect drawing through the real Direct3D layer over OpenGL (SDL's offscreen driver):
// a red cube, a textured quad and a half-transparent quad in front of the cube, seen through the
// scene's camera and lit by the default light.
#include <cmath>
#include <cstdlib>

#include "MeshdromeTesting.h"
#include "engine/ImageBank.h"
#include "gl/GlFixture.h"

using namespace quorvel::testing;

namespace {

constexpr int Size = 128;

// File coordinates are right-handed with z up: scene (X, Y, Z) is file (10X, 10Z, 10Y).
threeds::Vec3 fromScene(float x, float y, float z) { return {x * 10.0f, z * 10.0f, y * 10.0f}; }

// Adds a quad of four corners as two faces whose normal points along outward (file axes).
void addQuad(threeds::MeshDesc& mesh, const threeds::Vec3 (&c)[4], const threeds::Vec3& outward) {
    const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
    for (const auto& v : c) mesh.vertices.push_back(v);
    const threeds::Vec3 e1{c[1].x - c[0].x, c[1].y - c[0].y, c[1].z - c[0].z};
    const threeds::Vec3 e2{c[2].x - c[0].x, c[2].y - c[0].y, c[2].z - c[0].z};
    const threeds::Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const bool counterClockwise = n.x * outward.x + n.y * outward.y + n.z * outward.z > 0.0f;
    const std::uint16_t i[4] = {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2),
                                static_cast<std::uint16_t>(base + 3)};
    // 3D Studio keeps outward faces counter-clockwise (right-handed).
    if (counterClockwise) {
        mesh.faces.push_back({i[0], i[1], i[2], 0});
        mesh.faces.push_back({i[0], i[2], i[3], 0});
    } else {
        mesh.faces.push_back({i[0], i[2], i[1], 0});
        mesh.faces.push_back({i[0], i[3], i[2], 0});
    }
}

// An axis-aligned box between two scene-space corners.
threeds::MeshDesc box(const std::string& name, float x0, float y0, float z0, float x1, float y1, float z1) {
    threeds::MeshDesc mesh;
    mesh.name = name;
    const threeds::Vec3 lo = fromScene(x0, y0, z0), hi = fromScene(x1, y1, z1);
    const float X[2] = {lo.x, hi.x}, Y[2] = {lo.y, hi.y}, Z[2] = {lo.z, hi.z};
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            threeds::Vec3 c[4];
            threeds::Vec3 outward{};
            for (int k = 0; k < 4; ++k) {
                const int a = (k == 1 || k == 2) ? 1 : 0;  // walks the square's corners in order
                const int b = (k >= 2) ? 1 : 0;
                if (axis == 0) c[k] = {X[side], Y[a], Z[b]};
                if (axis == 1) c[k] = {X[a], Y[side], Z[b]};
                if (axis == 2) c[k] = {X[a], Y[b], Z[side]};
            }
            (axis == 0 ? outward.x : axis == 1 ? outward.y : outward.z) = side ? 1.0f : -1.0f;
            addQuad(mesh, c, outward);
        }
    }
    for (std::size_t v = 0; v < mesh.vertices.size(); ++v) mesh.uvs.push_back({0.0f, 0.0f});
    return mesh;
}

// A quad facing the camera (normal towards scene -z) at depth z.
threeds::MeshDesc facingQuad(const std::string& name, float x0, float y0, float x1, float y1, float z) {
    threeds::MeshDesc mesh;
    mesh.name = name;
    const threeds::Vec3 c[4] = {fromScene(x0, y0, z), fromScene(x1, y0, z), fromScene(x1, y1, z), fromScene(x0, y1, z)};
    addQuad(mesh, c, fromScene(0, 0, -1));
    mesh.uvs = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    return mesh;
}

threeds::TrackDesc oneKey(std::vector<float> value) {
    threeds::TrackDesc track;
    track.keys = {{0, 0, {}, std::move(value)}};
    return track;
}

threeds::SceneDesc pictureScene() {
    threeds::SceneDesc desc;
    threeds::MaterialDesc glass;  // listed first: drawn last all the same
    glass.name = "glass";
    glass.diffuse = threeds::Colour{0.0f, 0.0f, 1.0f};
    glass.transparency = 0.5f;
    glass.percentAsFloat = true;
    threeds::MaterialDesc red;
    red.name = "red";
    red.diffuse = threeds::Colour{1.0f, 0.0f, 0.0f};
    threeds::MaterialDesc checker;
    checker.name = "checker";
    checker.diffuse = threeds::Colour{1.0f, 1.0f, 1.0f};
    checker.textureMap = "CHECKER.PNG";
    desc.materials = {glass, red, checker};

    auto cube = box("cube", 0, -2, 0, 4, 2, 4);
    cube.groups = {{"red", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}};
    auto panel = facingQuad("panel", -5, -2, -1, 2, 0);
    panel.groups = {{"checker", {0, 1}}};
    auto pane = facingQuad("pane", 1, 1, 3, 4, -1);
    pane.groups = {{"glass", {0, 1}}};
    desc.meshes = {cube, panel, pane};

    threeds::CameraDesc cam;
    cam.name = "Cam";
    cam.position = fromScene(0, 0, -10);
    cam.target = fromScene(0, 0, 0);
    desc.cameras = {cam};
    desc.frames = std::array<std::int32_t, 2>{0, 100};
    threeds::NodeDesc camNode;
    camNode.kind = threeds::NodeKind::Camera;
    camNode.id = 0;
    camNode.name = "Cam";
    const threeds::Vec3 eye = fromScene(0, 0, -10);
    camNode.position = oneKey({eye.x, eye.y, eye.z});
    camNode.fov = oneKey({60.0f});
    camNode.roll = oneKey({0.0f});
    threeds::NodeDesc targetNode;
    targetNode.kind = threeds::NodeKind::CameraTarget;
    targetNode.id = 1;
    targetNode.name = "Cam";
    targetNode.position = oneKey({0.0f, 0.0f, 0.0f});
    desc.nodes = {camNode, targetNode};
    return desc;
}

// An 8 x 8 texture: the left half green, the right half blue.
IDirect3DTexture8* checkerTexture(IDirect3DDevice8* device) {
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture))) return nullptr;
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return texture;
    for (int y = 0; y < 8; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 8; ++x) row[x] = x < 4 ? 0xFF00FF00u : 0xFF0000FFu;
    }
    texture->UnlockRect(0);
    return texture;
}

class ScenePicture : public GlDeviceTest {
protected:
    ScenePicture() : GlDeviceTest(Size, Size) {}
    void TearDown() override {
        bank.ReleaseImages();
        GlDeviceTest::TearDown();  // the effect must leave no device objects behind
    }

    ImageBank bank;
};

}  // namespace

TEST_F(ScenePicture, CubeTexturedQuadAndTransparentPane) {
    SceneFolder folder;
    folder.load("picture.3ds", pictureScene());
    auto* checker = new ImageEntry();
    checker->name = "CHECKER.PNG";
    checker->texture = checkerTexture(device_);
    ASSERT_NE(checker->texture, nullptr);
    bank.entries.push_back(checker);
    bank.device = device_;
    EngineServices services{device_, &bank, &folder.list};

    EffectPtr effect = parsedEffect("time 0.000000 { file picture.3ds camera Cam }");
    ASSERT_EQ(effect->Init(&services), 0);
    ASSERT_EQ(effect->Start(&services), 0);
    ASSERT_NE(effect->vertexBuffer, nullptr);
    ASSERT_NE(effect->indexBuffer, nullptr);
    EXPECT_EQ(effect->Update(0.0f), 0);

    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    EXPECT_EQ(effect->Render(&services), 0);
    device_->EndScene();
    capture();
    ASSERT_EQ(frame_.width, UINT(Size));
    savePng("meshdrome_picture.png");
    EXPECT_EQ(effect->Stop(), 0);
    device_->SetTexture(0, nullptr);

    // The cube's front face, lit head-on by the default light.
    expectPixel(86, 64, 255, 0, 0, 3);
    // Half-transparent blue over the cube and over the black background: the pane is nearer
    // and drawn after the cube although its material comes first.
    expectPixel(88, 47, 128, 0, 128, 4);
    expectPixel(88, 25, 0, 0, 128, 4);
    // The textured quad: green on its left half, blue on its right half.
    expectPixel(18, 64, 0, 255, 0, 6);
    expectPixel(44, 64, 0, 0, 255, 6);
    // Nothing drawn in the lower right corner.
    expectPixel(120, 120, 0, 0, 0, 0);
}
