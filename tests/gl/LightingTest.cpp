// Per-vertex lighting against Direct3D's lighting equation computed here. The lit triangle is
// equilateral, centred on the view axis and facing the camera, and every light below sits on
// that axis, so all three vertices get the same colour and the fill is uniform.
#include <algorithm>
#include <cmath>

#include "GlFixture.h"

namespace quorvel::testing {
namespace {

struct Vec {
    float x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
float dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec normalised(Vec a) {
    const float l = std::sqrt(dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

constexpr float kPlaneZ = 5.0f;
const Vec kVertices[3] = {{0, 1, kPlaneZ}, {0.866025f, -0.5f, kPlaneZ}, {-0.866025f, -0.5f, kPlaneZ}};
const Vec kNormal = {0, 0, -1};

D3DCOLORVALUE rgba(float r, float g, float b, float a = 1.0f) { return {r, g, b, a}; }

// Direct3D's per-vertex lighting for one vertex, view space = world space (identity view):
// emissive + ambient terms + sum of attenuated, spot-scaled diffuse, plus specular when on.
Vec expectedColour(const D3DMATERIAL8& m, const D3DLIGHT8& l, D3DCOLOR globalAmbient, bool specularOn, Vec p) {
    const Vec n = kNormal;
    Vec L;
    float atten = 1.0f;
    if (l.Type == D3DLIGHT_DIRECTIONAL) {
        L = normalised({-l.Direction.x, -l.Direction.y, -l.Direction.z});
    } else {
        const Vec toLight = Vec{l.Position.x, l.Position.y, l.Position.z} - p;
        const float d = std::sqrt(dot(toLight, toLight));
        if (d > l.Range) atten = 0.0f;
        else atten = 1.0f / (l.Attenuation0 + l.Attenuation1 * d + l.Attenuation2 * d * d);
        L = normalised(toLight);
        if (l.Type == D3DLIGHT_SPOT) {
            // Full inside half of Theta, none outside half of Phi, Falloff power between.
            const Vec towardsVertex = {-L.x, -L.y, -L.z};
            const float rho = dot(normalised({l.Direction.x, l.Direction.y, l.Direction.z}), towardsVertex);
            const float inner = std::cos(l.Theta / 2), outer = std::cos(l.Phi / 2);
            float spot = 0.0f;
            if (rho > inner) spot = 1.0f;
            else if (rho > outer) spot = std::pow((rho - outer) / (inner - outer), l.Falloff);
            atten *= spot;
        }
    }
    const float nDotL = std::clamp(dot(n, L), 0.0f, 1.0f);
    const float ga[3] = {((globalAmbient >> 16) & 0xFF) / 255.0f, ((globalAmbient >> 8) & 0xFF) / 255.0f,
                         (globalAmbient & 0xFF) / 255.0f};
    auto channel = [&](float md, float ma, float me, float ms, float ld, float la, float ls, float g) {
        float c = me + ma * g + atten * (ma * la + md * ld * nDotL);
        c = std::clamp(c, 0.0f, 1.0f);
        if (specularOn && nDotL > 0.0f) {
            const Vec h = normalised(L + normalised({-p.x, -p.y, -p.z}));
            const float s = atten * ls * ms * std::pow(std::max(dot(n, h), 0.0f), m.Power);
            c = std::clamp(c + std::clamp(s, 0.0f, 1.0f), 0.0f, 1.0f);
        }
        return c * 255.0f;
    };
    return {channel(m.Diffuse.r, m.Ambient.r, m.Emissive.r, m.Specular.r, l.Diffuse.r, l.Ambient.r, l.Specular.r, ga[0]),
            channel(m.Diffuse.g, m.Ambient.g, m.Emissive.g, m.Specular.g, l.Diffuse.g, l.Ambient.g, l.Specular.g, ga[1]),
            channel(m.Diffuse.b, m.Ambient.b, m.Emissive.b, m.Specular.b, l.Diffuse.b, l.Ambient.b, l.Specular.b, ga[2])};
}

class LightingTest : public GlDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GlDeviceTest::SetUp());
        const D3DMATRIX identity = identityMatrix();
        const D3DMATRIX projection = perspectiveLH(1.0f, 1.0f, 1.0f, 100.0f);
        device_->SetTransform(D3DTS_WORLD, &identity);
        device_->SetTransform(D3DTS_VIEW, &identity);
        device_->SetTransform(D3DTS_PROJECTION, &projection);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    }

    void drawLitTriangle() {
        MeshVertex v[3];
        for (int i = 0; i < 3; ++i) v[i] = {kVertices[i].x, kVertices[i].y, kVertices[i].z, 0, 0, -1, 0, 0};
        ASSERT_EQ(device_->SetVertexShader(kMeshFvf), D3D_OK);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(MeshVertex)), D3D_OK);
        capture();
    }

    void expectCentre(Vec expected) {
        const Rgba p = pixel(32, 32);
        EXPECT_NEAR(p.r, expected.x, 2.0) << "red";
        EXPECT_NEAR(p.g, expected.y, 2.0) << "green";
        EXPECT_NEAR(p.b, expected.z, 2.0) << "blue";
        // The fill is uniform: a pixel near a corner has the same colour.
        const Rgba q = pixel(32, 24);
        EXPECT_NEAR(q.r, p.r, 1);
        EXPECT_NEAR(q.g, p.g, 1);
    }

    void light(const D3DLIGHT8& l) {
        ASSERT_EQ(device_->SetLight(0, &l), D3D_OK);
        ASSERT_EQ(device_->LightEnable(0, TRUE), D3D_OK);
    }
};

TEST_F(LightingTest, DirectionalLightScalesDiffuseByTheAngle) {
    D3DMATERIAL8 m{};
    m.Diffuse = rgba(0.8f, 0.6f, 0.4f);
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Diffuse = rgba(1.0f, 0.5f, 0.25f);
    l.Direction = {0.3f, -0.4f, 1.0f};
    device_->SetMaterial(&m);
    light(l);
    drawLitTriangle();
    savePng("lit_directional.png");
    expectCentre(expectedColour(m, l, 0, false, kVertices[0]));
    EXPECT_GT(pixel(32, 32).r, 100);
}

TEST_F(LightingTest, PointLightAttenuatesWithDistanceAndStopsAtItsRange) {
    D3DMATERIAL8 m{};
    m.Diffuse = rgba(1, 1, 1);
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_POINT;
    l.Diffuse = rgba(0.1f, 0.2f, 0.05f);
    l.Position = {0, 0, 1};
    l.Range = 20.0f;
    l.Attenuation1 = 1.0f / l.Range;  // the scene player's attenuation
    device_->SetMaterial(&m);
    light(l);
    drawLitTriangle();
    expectCentre(expectedColour(m, l, 0, false, kVertices[0]));
    EXPECT_GT(pixel(32, 32).g, 150);

    // Vertices are 4.12 away: a range of 4 switches the light off for all of them.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    l.Range = 4.0f;
    light(l);
    drawLitTriangle();
    EXPECT_EQ(pixel(32, 32).g, 0);
}

TEST_F(LightingTest, AmbientAddsGlobalAndLightAmbientTimesMaterialAmbient) {
    D3DMATERIAL8 m{};
    m.Ambient = rgba(1.0f, 0.5f, 0.25f);
    m.Emissive = rgba(0.1f, 0.0f, 0.0f);
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Direction = {0, 0, -1};  // faces away from the surface: no diffuse
    l.Diffuse = rgba(1, 1, 1);
    l.Ambient = rgba(0.2f, 0.2f, 0.2f);
    const D3DCOLOR globalAmbient = 0x00404040u;
    device_->SetMaterial(&m);
    device_->SetRenderState(D3DRS_AMBIENT, globalAmbient);
    light(l);
    drawLitTriangle();
    expectCentre(expectedColour(m, l, globalAmbient, false, kVertices[0]));

    // Disabled lights contribute nothing, not even ambient.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    device_->LightEnable(0, FALSE);
    drawLitTriangle();
    l.Ambient = rgba(0, 0, 0);
    expectCentre(expectedColour(m, l, globalAmbient, false, kVertices[0]));
}

TEST_F(LightingTest, SpecularUsesPowerAndLocalViewerOnlyWhenEnabled) {
    D3DMATERIAL8 m{};
    m.Diffuse = rgba(0.2f, 0.2f, 0.2f);
    m.Specular = rgba(1, 1, 1);
    m.Power = 10.0f;
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Direction = {0.0f, 0.0f, 1.0f};
    l.Diffuse = rgba(1, 1, 1);
    l.Specular = rgba(0.5f, 0.6f, 0.7f);
    device_->SetMaterial(&m);
    light(l);
    drawLitTriangle();
    expectCentre(expectedColour(m, l, 0, false, kVertices[0]));  // SPECULARENABLE is off by default

    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    drawLitTriangle();
    savePng("lit_specular.png");
    const Vec expected = expectedColour(m, l, 0, true, kVertices[0]);
    expectCentre(expected);
    EXPECT_GT(expected.z, 51.0f + 100.0f);  // the specular term is really there
}

TEST_F(LightingTest, SpotLightConeInnerFullOuterNoneFalloffBetween) {
    D3DMATERIAL8 m{};
    m.Diffuse = rgba(1, 1, 1);
    m.Ambient = rgba(1, 1, 1);
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_SPOT;
    l.Diffuse = rgba(0.8f, 0.6f, 0.4f);
    l.Ambient = rgba(0.1f, 0.1f, 0.1f);
    l.Position = {0, 0, 0};
    l.Direction = {0, 0, 3};  // not normalised, as the scene player sets it
    l.Range = 100.0f;
    l.Attenuation0 = 1.0f;
    l.Falloff = 1.0f;
    device_->SetMaterial(&m);
    // Vertices are 0.197 rad off the axis.
    const struct {
        float theta, phi;
    } cones[] = {{0.5f, 1.0f}, {0.2f, 0.6f}, {0.0f, 0.0f}};
    for (const auto& cone : cones) {
        l.Theta = cone.theta;
        l.Phi = cone.phi;
        light(l);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        drawLitTriangle();
        SCOPED_TRACE(cone.theta);
        expectCentre(expectedColour(m, l, 0, false, kVertices[0]));
    }
    // Theta and Phi of 0 (what scene files give): nothing at all, ambient included.
    EXPECT_EQ(pixel(32, 32).r, 0);
}

TEST_F(LightingTest, UnlitGeometryTakesVertexColourOrWhite) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    drawLitTriangle();  // no diffuse colour in the vertex: white
    EXPECT_EQ(pixel(32, 32).r, 255);
    EXPECT_EQ(pixel(32, 32).b, 255);
}

TEST_F(LightingTest, NormalizeNormalsUndoesWorldScaling) {
    D3DMATERIAL8 m{};
    m.Diffuse = rgba(1, 1, 1);
    D3DLIGHT8 l{};
    l.Type = D3DLIGHT_DIRECTIONAL;
    l.Direction = {0.0f, 0.6f, 0.8f};
    l.Diffuse = rgba(1, 1, 1);
    device_->SetMaterial(&m);
    light(l);
    // World scaled by 2: vertices are drawn at half distance in z but normals shrink to half.
    D3DMATRIX world = identityMatrix();
    world._11 = world._22 = world._33 = 2.0f;
    device_->SetTransform(D3DTS_WORLD, &world);
    MeshVertex v[3];
    for (int i = 0; i < 3; ++i)
        v[i] = {kVertices[i].x / 2, kVertices[i].y / 2, kVertices[i].z / 2, 0, 0, -1, 0, 0};
    device_->SetVertexShader(kMeshFvf);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(MeshVertex));
    capture();
    const int unnormalised = pixel(32, 32).r;
    EXPECT_NEAR(unnormalised, 0.8 * 0.5 * 255, 2);

    device_->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(MeshVertex));
    capture();
    EXPECT_NEAR(pixel(32, 32).r, 0.8 * 255, 2);
}

}  // namespace
}  // namespace quorvel::testing
