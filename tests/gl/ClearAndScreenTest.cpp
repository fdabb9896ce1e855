// Clearing, and screen-space (XYZRHW) geometry landing on exactly the pixels Direct3D covers.
#include <array>

#include "GlFixture.h"

namespace quorvel::testing {
namespace {

class ClearAndScreenTest : public GlDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GlDeviceTest::SetUp());
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    }
    // Bounding box {x1, y1, x2, y2} of the pixels that are not the clear colour (black); the
    // second corner lies just outside.
    using Box = std::array<int, 4>;
    Box drawnBox() {
        int x1 = 1 << 20, y1 = 1 << 20, x2 = -1, y2 = -1;
        for (int y = 0; y < static_cast<int>(kHeight); ++y)
            for (int x = 0; x < static_cast<int>(kWidth); ++x) {
                const Rgba p = pixel(x, y);
                if (p.r || p.g || p.b) {
                    x1 = std::min(x1, x);
                    y1 = std::min(y1, y);
                    x2 = std::max(x2, x + 1);
                    y2 = std::max(y2, y + 1);
                }
            }
        return {x1, y1, x2, y2};
    }
};

TEST_F(ClearAndScreenTest, ClearFillsViewportAndRectangles) {
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699u, 1.0f, 0), D3D_OK);
    const D3DRECT rect{10, 20, 30, 25};
    ASSERT_EQ(device_->Clear(1, &rect, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0), D3D_OK);
    capture();
    savePng("clear.png");
    EXPECT_EQ(countPixels(255, 0, 0, 0), 20 * 5);
    const Rgba inside = pixel(10, 20), outside = pixel(9, 20), below = pixel(10, 25);
    EXPECT_EQ(inside.r, 255);
    EXPECT_EQ(outside.r, 0x33);
    EXPECT_EQ(outside.b, 0x99);
    EXPECT_EQ(below.g, 0x66);

    // A smaller viewport limits a clear without rectangles.
    const D3DVIEWPORT8 viewport{4, 8, 16, 16, 0.0f, 1.0f};
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00u, 1.0f, 0), D3D_OK);
    capture();
    EXPECT_EQ(countPixels(0, 255, 0, 0), 16 * 16);
    EXPECT_EQ(pixel(4, 8).g, 255);
    EXPECT_EQ(pixel(3, 8).g, 0x66);
}

TEST_F(ClearAndScreenTest, DepthClearValueIsUsedByTheDepthTest) {
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 0.5f, 0), D3D_OK);
    drawScreenRect(0, 0, 32, 64, 0xFFFF0000u, 0.6f);  // behind the cleared depth: hidden
    drawScreenRect(32, 0, 64, 64, 0xFF0000FFu, 0.4f);  // in front: drawn
    capture();
    EXPECT_EQ(pixel(10, 10).r, 0);
    EXPECT_EQ(pixel(40, 10).b, 255);
}

TEST_F(ClearAndScreenTest, FontStyleQuadCoversExactlyItsPixels) {
    // Text quads are placed at (x - 0.5, y - 0.5) .. (x + w - 0.5, y + h - 0.5).
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    drawScreenRect(10 - 0.5f, 5 - 0.5f, 17 - 0.5f, 8 - 0.5f, 0xFFFFFFFFu);
    capture();
    savePng("screen_quad.png");
    EXPECT_EQ(drawnBox(), (Box{10, 5, 17, 8}));
    EXPECT_EQ(countPixels(255, 255, 255, 0), 7 * 3);
}

TEST_F(ClearAndScreenTest, PixelCentresLieOnIntegerCoordinates) {
    // Edges at 10.2 and 17.2: Direct3D's pixel centres 11..17 are inside, so the quad covers
    // columns 11 to 17; with centres at half pixels it would cover 10 to 16.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    drawScreenRect(10.2f, 3.2f, 17.2f, 6.2f, 0xFFFFFFFFu);
    capture();
    EXPECT_EQ(drawnBox(), (Box{11, 4, 18, 7}));
}

TEST_F(ClearAndScreenTest, ScreenVerticesAreInTargetPixelsWhateverTheViewport) {
    const D3DVIEWPORT8 viewport{16, 16, 32, 32, 0.0f, 1.0f};
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    drawScreenRect(20 - 0.5f, 20 - 0.5f, 24 - 0.5f, 22 - 0.5f, 0xFF00FF00u);
    capture();
    EXPECT_EQ(drawnBox(), (Box{20, 20, 24, 22}));
}

TEST_F(ClearAndScreenTest, PresentShowsTheFrameAndKeepsIt) {
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030u, 1.0f, 0);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    capture();
    EXPECT_EQ(pixel(0, 0).r, 0x10);
    EXPECT_EQ(pixel(63, 63).b, 0x30);

    // The back buffer surface reads the same picture as X8R8G8B8 words.
    IDirect3DSurface8* surface = nullptr;
    ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface), D3D_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, kWidth);
    EXPECT_EQ(desc.Height, kHeight);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(locked.Pitch, static_cast<INT>(kWidth * 4));
    EXPECT_EQ(static_cast<const DWORD*>(locked.pBits)[0] & 0x00FFFFFFu, 0x102030u);
    EXPECT_EQ(surface->UnlockRect(), D3D_OK);
    EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(ClearAndScreenTest, ClearingDepthWithoutDepthBufferFails) {
    device_->Release();
    device_ = nullptr;
    ASSERT_EQ(createDevice(D3DDEVTYPE_HAL, false), D3D_OK);
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    DWORD z = 99;
    device_->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_FALSE));
}

TEST_F(ClearAndScreenTest, MultisampledDeviceResolvesForReadBack) {
    device_->Release();
    device_ = nullptr;
    if (d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_4_SAMPLES) != D3D_OK)
        GTEST_SKIP() << "no 4x multisampling";
    ASSERT_EQ(createDevice(D3DDEVTYPE_HAL, true, D3DMULTISAMPLE_4_SAMPLES), D3D_OK);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    drawScreenRect(8 - 0.5f, 8 - 0.5f, 16 - 0.5f, 16 - 0.5f, 0xFFFFFFFFu);
    capture();
    EXPECT_EQ(countPixels(255, 255, 255, 0), 64);
    EXPECT_EQ(d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE,
                                                static_cast<D3DMULTISAMPLE_TYPE>(3)),
              D3DERR_NOTAVAILABLE);
}

}  // namespace
}  // namespace quorvel::testing
