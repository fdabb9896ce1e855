// Texture stage colour and alpha operations, the rule for stages whose texture is not set,
// alpha blending and the alpha test.
#include "GlFixture.h"

namespace quorvel::testing {
namespace {

class TextureStageTest : public GlDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GlDeviceTest::SetUp());
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    }
    void TearDown() override {
        if (texture_) {
            EXPECT_EQ(texture_->Release(), 0u);
        }
        GlDeviceTest::TearDown();
    }
    // A 2 x 2 A8R8G8B8 texture of one colour, set on stage 0.
    void useSolidTexture(D3DCOLOR texel) {
        ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture_), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture_->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = texel;
        ASSERT_EQ(texture_->UnlockRect(0), D3D_OK);
        ASSERT_EQ(device_->SetTexture(0, texture_), D3D_OK);
    }
    void setStage0(DWORD colourOp, DWORD arg1, DWORD arg2, DWORD alphaOp, DWORD alphaArg1, DWORD alphaArg2) {
        device_->SetTextureStageState(0, D3DTSS_COLOROP, colourOp);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, arg1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG2, arg2);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, alphaArg1);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, alphaArg2);
    }
    void expectCentre(int r, int g, int b, int tolerance = 1) {
        capture();
        expectPixel(32, 32, r, g, b, tolerance);
    }
    IDirect3DTexture8* texture_ = nullptr;
};

TEST_F(TextureStageTest, ModulateMultipliesTextureAndDiffuse) {
    useSolidTexture(0xFF80FF40u);
    setStage0(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    drawScreenRect(0, 0, 64, 64, 0xFF8080FFu);
    expectCentre(0x80 * 0x80 / 255, 0x80, 0x40);
}

TEST_F(TextureStageTest, ModulateWithoutTextureGivesTheDiffuseColour) {
    // Stage 0 reads a texture that is not set: the stage is off and diffuse comes through.
    setStage0(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    drawScreenRect(0, 0, 64, 64, 0xFF336699u);
    expectCentre(0x33, 0x66, 0x99, 0);
}

TEST_F(TextureStageTest, DefaultStagesShowTheTextureTimesDiffuse) {
    useSolidTexture(0xFF808080u);
    drawScreenRect(0, 0, 64, 64, 0xFFFF8000u);
    expectCentre(0x80, 0x40, 0x00);
}

TEST_F(TextureStageTest, SelectArgumentsPickOneSide) {
    useSolidTexture(0xFF00FF00u);
    setStage0(D3DTOP_SELECTARG2, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE);
    drawScreenRect(0, 0, 64, 64, 0xFFFF0000u);
    expectCentre(0, 255, 0, 0);
    setStage0(D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE);
    drawScreenRect(0, 0, 64, 64, 0xFFFF0000u);
    expectCentre(255, 0, 0, 0);
}

TEST_F(TextureStageTest, DisabledSecondStageLeavesTheFirstStagesResult) {
    useSolidTexture(0xFF0000FFu);
    setStage0(D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    // Stage 1 would select diffuse, but it is disabled by default.
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    drawScreenRect(0, 0, 64, 64, 0xFFFF0000u);
    expectCentre(0, 0, 255, 0);
    // Enabled, it replaces the colour with diffuse.
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    drawScreenRect(0, 0, 64, 64, 0xFFFF0000u);
    expectCentre(255, 0, 0, 0);
}

TEST_F(TextureStageTest, AlphaBlendingSourceAlphaOverInverse) {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    drawScreenRect(0, 0, 64, 64, 0x40FF0000u);  // diffuse alpha passes through stage 0 without texture
    const int a = 0x40;
    expectCentre(255 * a / 255, 0, 255 * (255 - a) / 255);
}

TEST_F(TextureStageTest, AlphaBlendingAdditive) {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF202020u, 1.0f, 0);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    drawScreenRect(0, 0, 64, 64, 0x80FF8000u);
    expectCentre(0x20 + 0x80, 0x20 + 0x40, 0x20);
    // Without blending the quad replaces the picture.
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    drawScreenRect(0, 0, 64, 64, 0x80FF8000u);
    expectCentre(0xFF, 0x80, 0x00, 0);
}

TEST_F(TextureStageTest, AlphaTestGreaterEqualEightKeepsOnlyOpaqueEnough) {
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, 8);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    drawScreenRect(0, 0, 32, 64, 0x07FFFFFFu);   // alpha 7: rejected
    drawScreenRect(32, 0, 64, 64, 0x08FFFFFFu);  // alpha 8: kept
    capture();
    EXPECT_EQ(pixel(10, 10).r, 0);
    EXPECT_EQ(pixel(40, 10).r, 255);
    // The alpha of a texture takes part: a texel of alpha 0 is rejected.
    useSolidTexture(0x00FFFFFFu);
    setStage0(D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    drawScreenRect(0, 0, 64, 64, 0xFF00FF00u);
    capture();
    EXPECT_EQ(pixel(10, 10).g, 0);
}

TEST_F(TextureStageTest, SpecularIsAddedAfterTheStages) {
    device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR diffuse, specular;
    };
    const Vertex quad[4] = {{0, 0, 0.5f, 1, 0xFF400000u, 0xFF002000u},
                            {64, 0, 0.5f, 1, 0xFF400000u, 0xFF002000u},
                            {0, 64, 0.5f, 1, 0xFF400000u, 0xFF002000u},
                            {64, 64, 0.5f, 1, 0xFF400000u, 0xFF002000u}};
    device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
    expectCentre(0x40, 0x20, 0, 0);
}

}  // namespace
}  // namespace quorvel::testing
