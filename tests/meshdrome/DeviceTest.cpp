// Start, Render and Stop against the recording device: buffer contents, the states in force at
// every draw, lights, camera and the release of device objects.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "MeshdromeTesting.h"
#include "engine/ImageBank.h"
#include "meshdrome/RenderSetup.h"
#include "support/RecordingDevice.h"

using namespace quorvel::testing;
using Texts = std::vector<std::string>;

namespace {

// The render and stage states and the texture in force whenever a part is drawn.
Texts partStates(bool blended, const void* texture) {
    return {"D3DRS_ZENABLE = D3DZB_TRUE",
            "D3DRS_SRCBLEND = D3DBLEND_SRCALPHA",
            "D3DRS_DESTBLEND = D3DBLEND_INVSRCALPHA",
            "D3DRS_CULLMODE = D3DCULL_CCW",
            std::string("D3DRS_ALPHABLENDENABLE = ") + (blended ? "1" : "0"),
            "D3DRS_SPECULARENABLE = 1",
            "D3DRS_LIGHTING = 1",
            "D3DRS_NORMALIZENORMALS = 1",
            "0:D3DTSS_COLOROP = D3DTOP_MODULATE",
            "0:D3DTSS_COLORARG1 = D3DTA_TEXTURE",
            "0:D3DTSS_COLORARG2 = D3DTA_DIFFUSE",
            "0:D3DTSS_ALPHAOP = D3DTOP_MODULATE",
            "0:D3DTSS_ALPHAARG1 = D3DTA_TEXTURE",
            "0:D3DTSS_ALPHAARG2 = D3DTA_DIFFUSE",
            "0:D3DTSS_TEXCOORDINDEX = 0",
            "0:D3DTSS_MAGFILTER = D3DTEXF_LINEAR",
            "0:D3DTSS_MINFILTER = D3DTEXF_LINEAR",
            "0:D3DTSS_MIPFILTER = D3DTEXF_LINEAR",
            "1:D3DTSS_COLOROP = D3DTOP_DISABLE",
            "1:D3DTSS_ALPHAOP = D3DTOP_DISABLE",
            "texture 0 = " + pointerText(texture)};
}

bool sameBytes(const auto& a, const auto& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Two meshes: A with a red textured group and a transparent group, B without material groups and
// with one face that reaches past its three vertices.
threeds::SceneDesc drawScene() {
    threeds::SceneDesc desc;
    threeds::MaterialDesc glass;
    glass.name = "glass";
    glass.transparency = 0.5f;
    glass.percentAsFloat = true;
    threeds::MaterialDesc red;
    red.name = "red";
    red.diffuse = threeds::Colour{1.0f, 0.0f, 0.0f};
    red.textureMap = "WALL.JPG";
    desc.materials = {glass, red};
    auto a = mesh("A", 4, {{0, 1, 2, 0}, {1, 2, 3, 0}, {0, 2, 3, 0}});
    a.groups = {{"red", {0, 1}}, {"glass", {2}}};
    auto b = mesh("B", 3, {{0, 1, 7, 0}, {2, 1, 0, 0}});
    desc.meshes = {a, b};
    desc.cameras = {camera("Cam")};
    return desc;
}

threeds::LightDesc light(const std::string& name, threeds::Vec3 position, float innerRange) {
    threeds::LightDesc desc;
    desc.name = name;
    desc.position = position;
    desc.colour = threeds::Colour{0.5f, 0.25f, 1.0f};
    desc.innerRange = innerRange;
    return desc;
}

class DeviceFixture : public ::testing::Test {
protected:
    void TearDown() override {
        effect.reset();
        bank.ReleaseImages();
        EXPECT_EQ(device->liveResources(), 0) << "device objects left behind";
        device->Release();
    }

    void startEffect(const std::string& params) {
        effect = parsedEffect(params);
        ASSERT_EQ(effect->Init(&services), 0);
        ASSERT_EQ(effect->Start(&services), 0);
    }

    RecordingDevice* device = new RecordingDevice(640, 480);
    SceneFolder folder;
    ImageBank bank;
    EngineServices services{device, &bank, &folder.list};
    EffectPtr effect;
};

}  // namespace

TEST_F(DeviceFixture, StartFillsBothBuffersInMeshAndGroupOrder) {
    Scene* scene = folder.load("draw.3ds", drawScene());
    startEffect("time 0.000000 { file draw.3ds }");

    // 7 vertices of 32 bytes; 4 drawable faces of 6 bytes (B's damaged face is left out).
    EXPECT_EQ(device->callTexts(), (Texts{
                                       "CreateVertexBuffer(224, D3DUSAGE_WRITEONLY, "
                                       "D3DFVF_XYZ|D3DFVF_NORMAL|D3DFVF_TEX1, D3DPOOL_DEFAULT)",
                                       "CreateIndexBuffer(24, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT)",
                                       "VertexBuffer::Lock(0, 224, 0)",
                                       "IndexBuffer::Lock(0, 24, 0)",
                                       "IndexBuffer::Unlock()",
                                       "VertexBuffer::Unlock()",
                                   }));
    auto* vertices = static_cast<RecordingVertexBuffer*>(effect->vertexBuffer);
    auto* indices = static_cast<RecordingIndexBuffer*>(effect->indexBuffer);
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(indices, nullptr);
    EXPECT_FALSE(vertices->locked());
    EXPECT_FALSE(indices->locked());

    const Mesh* a = scene->meshes[0];
    const Mesh* b = scene->meshes[1];
    EXPECT_EQ(std::memcmp(vertices->bytes().data(), a->vertices.data(), 4 * sizeof(Vertex)), 0);
    EXPECT_EQ(std::memcmp(vertices->bytes().data() + 4 * sizeof(Vertex), b->vertices.data(), 3 * sizeof(Vertex)), 0);

    std::vector<Face> expected;
    for (const FaceGroup* group : a->faceGroups) expected.insert(expected.end(), group->faces.begin(), group->faces.end());
    expected.push_back(b->faceGroups[0]->faces[1]);
    ASSERT_EQ(expected.size(), 4u);
    EXPECT_EQ(std::memcmp(indices->bytes().data(), expected.data(), 4 * sizeof(Face)), 0);

    EXPECT_EQ(effect->Stop(), 0);
    EXPECT_EQ(effect->vertexBuffer, nullptr);
    EXPECT_EQ(effect->indexBuffer, nullptr);
    EXPECT_EQ(device->liveResources(), 0);
}

TEST_F(DeviceFixture, RenderDrawsEachPartWithItsMaterialStatesAndTransforms) {
    Scene* scene = folder.load("draw.3ds", drawScene());
    bank.device = device;
    IDirect3DTexture8* wallTexture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &wallTexture), D3D_OK);
    auto* wall = new ImageEntry();
    wall->name = "WALL.JPG";
    wall->texture = wallTexture;
    bank.entries.push_back(wall);

    startEffect("time 0.000000 { file draw.3ds clearzbuffer }");
    device->clearCalls();
    EXPECT_EQ(effect->Render(&services), 0);
    EXPECT_EQ(device->callTexts("Clear"), Texts{"Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF000000, 1, 0)"});

    struct Part {
        const char* draw;
        const Mesh* mesh;
        UINT baseVertex;
        bool blended;
        const void* texture;
    };
    const Mesh* a = scene->meshes[0];
    const Mesh* b = scene->meshes[1];
    const Part parts[] = {
        // red (opaque, textured): A's first group.
        {"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2)", a, 0, false, wallTexture},
        // B's default material (opaque): one drawable face after A's three.
        {"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 9, 1)", b, 4, false, nullptr},
        // glass (blended) last although the scene lists it first.
        {"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 6, 1)", a, 0, true, nullptr},
    };
    ASSERT_EQ(device->draws().size(), 3u);
    const DeviceState& after = device->state();
    for (size_t i = 0; i < 3; ++i) {
        const Draw& draw = device->draws()[i];
        const DeviceState& in = draw.state;
        SCOPED_TRACE(draw.call.text);
        EXPECT_EQ(draw.call.text, parts[i].draw);
        EXPECT_EQ(in.texts(), partStates(parts[i].blended, parts[i].texture));
        EXPECT_TRUE(sameBytes(in.material, effect->materials[i]->material));
        EXPECT_TRUE(sameBytes(in.transform(D3DTS_WORLD), parts[i].mesh->world));
        EXPECT_EQ(in.fvf, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        EXPECT_EQ(in.stream, effect->vertexBuffer);
        EXPECT_EQ(in.stride, 32u);
        EXPECT_EQ(in.indices, effect->indexBuffer);
        EXPECT_EQ(in.baseVertex, parts[i].baseVertex);
        // No scene light: the default light in slot 0, the others off.
        EXPECT_EQ(in.lightEnabled, (std::array<BOOL, 8>{TRUE, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE}));
        // The camera's view and projection (checked below) are set before the first draw.
        EXPECT_TRUE(sameBytes(in.transform(D3DTS_VIEW), after.transform(D3DTS_VIEW)));
        EXPECT_TRUE(sameBytes(in.transform(D3DTS_PROJECTION), after.transform(D3DTS_PROJECTION)));
    }
    EXPECT_NEAR(device->draws()[2].state.material.Diffuse.a, 0.5f, 1e-6f);  // glass
    EXPECT_EQ(after.renderState(D3DRS_NORMALIZENORMALS), 0u) << "switched off again after drawing";

    const D3DLIGHT8& light = device->state().lights.at(0);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_EQ(light.Specular.r, 0.0f);
    EXPECT_FLOAT_EQ(light.Ambient.g, 0.4f);
    EXPECT_EQ(light.Position.z, -1000.0f);
    EXPECT_EQ(light.Direction.x, -10.0f);
    EXPECT_EQ(light.Direction.z, 1000.0f);
    EXPECT_EQ(light.Range, FLT_MAX);
    EXPECT_EQ(light.Attenuation0, 1.0f);

    EXPECT_EQ(effect->Stop(), 0);
}

TEST_F(DeviceFixture, EightSceneLightsAtMostWithPointAndSpotRecords) {
    threeds::SceneDesc desc = drawScene();
    auto spot = light("spot", {10, 20, 30}, 1000);
    spot.spot = threeds::SpotDesc{{10, 120, 30}, 20, 40};
    desc.lights = {light("first", {10, 20, 30}, 1000), spot, light("unranged", {0, 0, 0}, 0)};
    for (int i = 3; i < 9; ++i) desc.lights.push_back(light("l" + std::to_string(i), {0, 0, 0}, 500));
    Scene* scene = folder.load("lights.3ds", desc);
    ASSERT_EQ(scene->lights.size(), 9u);
    startEffect("time 0.000000 { file lights.3ds }");
    device->clearCalls();
    effect->Render(&services);

    Texts lightCalls;
    for (const auto& call : device->calls())
        if (call.method == "LightEnable" || call.method == "SetLight") lightCalls.push_back(call.text);
    Texts expected;
    for (int i = 0; i < 8; ++i) expected.push_back("LightEnable(" + std::to_string(i) + ", 0)");
    for (int i = 0; i < 8; ++i) {
        const char* type = i == 1 ? "D3DLIGHT_SPOT" : "D3DLIGHT_POINT";
        expected.push_back("SetLight(" + std::to_string(i) + ", " + type + ")");
        expected.push_back("LightEnable(" + std::to_string(i) + ", 1)");
    }
    EXPECT_EQ(lightCalls, expected) << "the ninth light is ignored";

    const D3DLIGHT8& point = device->state().lights.at(0);
    EXPECT_EQ(point.Type, D3DLIGHT_POINT);
    EXPECT_FLOAT_EQ(point.Diffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(point.Diffuse.g, 0.25f);
    EXPECT_FLOAT_EQ(point.Diffuse.b, 1.0f);
    EXPECT_EQ(point.Diffuse.a, 1.0f);
    EXPECT_EQ(point.Specular.g, 1.0f);
    EXPECT_FLOAT_EQ(point.Ambient.a, 0.2f);
    EXPECT_NEAR(point.Position.x, 1.0f, 1e-5f);
    EXPECT_NEAR(point.Position.y, 3.0f, 1e-5f);
    EXPECT_NEAR(point.Position.z, 2.0f, 1e-5f);
    EXPECT_EQ(point.Range, FLT_MAX);
    EXPECT_NEAR(point.Attenuation1, 0.01f, 1e-7f);  // 1 / range 100
    EXPECT_EQ(point.Attenuation0, 0.0f);
    EXPECT_EQ(point.Direction.z, 0.0f);

    // The loader leaves spotTarget empty: the direction comes from the file's target point.
    const D3DLIGHT8& spotLight = device->state().lights.at(1);
    EXPECT_EQ(spotLight.Type, D3DLIGHT_SPOT);
    EXPECT_NEAR(spotLight.Direction.x, 0.0f, 1e-5f);
    EXPECT_NEAR(spotLight.Direction.y, 0.0f, 1e-5f);
    EXPECT_NEAR(spotLight.Direction.z, 10.0f, 1e-5f);
    EXPECT_EQ(spotLight.Theta, 0.0f);
    EXPECT_EQ(spotLight.Phi, 0.0f);
    EXPECT_EQ(spotLight.Falloff, 0.0f);

    // A light without a range shines unattenuated instead of getting an infinite factor.
    const D3DLIGHT8& unranged = device->state().lights.at(2);
    EXPECT_EQ(unranged.Attenuation0, 1.0f);
    EXPECT_EQ(unranged.Attenuation1, 0.0f);

    // A spot light linked to a target node takes the node's position.
    SceneNode target(NodeType::Dummy, "target");
    target.position = D3DVECTOR{1.0f, 8.0f, 2.0f};
    scene->lights[1]->spotTarget = &target;
    effect->Render(&services);
    EXPECT_NEAR(device->state().lights.at(1).Direction.y, 5.0f, 1e-5f);
    scene->lights[1]->spotTarget = nullptr;
    effect->Stop();
}

TEST_F(DeviceFixture, CameraUpVectorFovAndViewportAspect) {
    const D3DXVECTOR3 up = meshdrome::cameraUp(90.0f);
    EXPECT_NEAR(up.x, -1.0f, 1e-6f);
    EXPECT_NEAR(up.y, 0.0f, 1e-6f);
    EXPECT_NEAR(up.z, 0.0f, 1e-6f);

    Scene* scene = folder.load("draw.3ds", drawScene());
    startEffect("time 0.000000 { file draw.3ds }");
    Camera* camera = scene->cameras[0];
    camera->roll = 90.0f;
    camera->fov = 60.0f;
    camera->position = D3DVECTOR{0.0f, 0.0f, -10.0f};
    camera->targetPosition = D3DVECTOR{0.0f, 0.0f, 5.0f};
    effect->Render(&services);
    EXPECT_EQ(device->countCalls("Clear"), 0u) << "no depth clear without clearzbuffer";

    D3DXMATRIX view;
    const D3DXVECTOR3 eye(0.0f, 0.0f, -10.0f), at(0.0f, 0.0f, 5.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    const D3DMATRIX& setView = device->state().transform(D3DTS_VIEW);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(setView.m[r][c], view.m[r][c], 1e-5f) << r << "," << c;

    const D3DMATRIX& projection = device->state().transform(D3DTS_PROJECTION);
    EXPECT_NEAR(projection._22, 1.0f / std::tan(30.0f * 0.017453292f), 1e-4f);
    EXPECT_NEAR(projection._22 / projection._11, 640.0f / 480.0f, 1e-4f);
    // Near plane 1, far plane 3000.
    EXPECT_NEAR(projection._33, 3000.0f / 2999.0f, 1e-5f);
    EXPECT_NEAR(projection._43, -3000.0f / 2999.0f, 1e-5f);

    const D3DVIEWPORT8 narrow{0, 0, 300, 100, 0.0f, 1.0f};
    device->SetViewport(&narrow);
    effect->Render(&services);
    const D3DMATRIX& narrowProjection = device->state().transform(D3DTS_PROJECTION);
    EXPECT_NEAR(narrowProjection._22 / narrowProjection._11, 3.0f, 1e-4f);
    effect->Stop();
}

TEST_F(DeviceFixture, FailedBufferCreationWritesAndDrawsNothing) {
    folder.load("draw.3ds", drawScene());
    for (const char* failing : {"CreateVertexBuffer", "CreateIndexBuffer"}) {
        device->clearCalls();
        device->fail(failing, E_OUTOFMEMORY);
        startEffect("time 0.000000 { file draw.3ds }");
        EXPECT_EQ(effect->vertexBuffer, nullptr) << failing;
        EXPECT_EQ(effect->indexBuffer, nullptr) << failing;
        EXPECT_EQ(device->countCalls("VertexBuffer::Lock"), 0u) << failing;
        EXPECT_EQ(device->countCalls("IndexBuffer::Lock"), 0u) << failing;
        EXPECT_EQ(device->liveResources(), 0) << failing;
        EXPECT_EQ(effect->Render(&services), 0);
        EXPECT_EQ(device->countCalls("DrawIndexedPrimitive"), 0u) << failing;
        EXPECT_EQ(effect->Stop(), 0);
    }
}

TEST_F(DeviceFixture, SceneWithoutGeometryCreatesNoBuffers) {
    threeds::SceneDesc desc;
    desc.cameras = {camera("Cam")};
    folder.load("empty.3ds", desc);
    startEffect("time 0.000000 { file empty.3ds }");
    EXPECT_EQ(device->countCalls("CreateVertexBuffer"), 0u);
    bank.device = device;
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetTexture(0, reinterpret_cast<IDirect3DBaseTexture8*>(0x1000));
    EXPECT_EQ(effect->Render(&services), 0);
    EXPECT_EQ(device->countCalls("DrawIndexedPrimitive"), 0u);
    EXPECT_EQ(device->countCalls("SetTransform"), 2u) << "camera transforms are still set";
    // Before any material: blending off and no texture.
    EXPECT_EQ(device->state().renderState(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(device->state().texture(0), nullptr);
    effect->Stop();
}

TEST_F(DeviceFixture, StartAgainAfterStopAndDestroyDeviceObjectsRelease) {
    folder.load("draw.3ds", drawScene());
    startEffect("time 0.000000 { file draw.3ds }");
    EXPECT_EQ(device->liveDefaultPoolResources(), 2);
    EXPECT_EQ(effect->Stop(), 0);
    EXPECT_EQ(device->liveDefaultPoolResources(), 0);
    EXPECT_EQ(effect->Start(&services), 0);
    EXPECT_EQ(device->liveDefaultPoolResources(), 2);
    EXPECT_EQ(effect->DestroyDeviceObjects(), 0);
    EXPECT_EQ(device->liveDefaultPoolResources(), 0);
}
