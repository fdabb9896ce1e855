// Clearing, and screen-space (XYZRHW) geometry landing on exactly the pixels Direct3D covers.
#include <array>

#include <epoxy/gl.h>

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

// What the window itself shows after Present, as RGBA rows from the top.
std::vector<std::uint8_t> readWindow(SDL_Window* window) {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    GLint deviceRead = 0, readBuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &deviceRead);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glReadBuffer(GL_FRONT);  // the shown picture, whether or not the surface is double-buffered
    std::vector<std::uint8_t> rows(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        glReadPixels(0, h - 1 - y, w, 1, GL_RGBA, GL_UNSIGNED_BYTE, &rows[static_cast<size_t>(y) * w * 4]);
    glReadBuffer(static_cast<GLenum>(readBuffer));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(deviceRead));
    return rows;
}

TEST_F(ClearAndScreenTest, TheWindowShowsThePictureUprightAndStretched) {
    // A red block at the top left of a blue picture, and a green pixel at its bottom right.
    auto paint = [this] {
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0), D3D_OK);
        const D3DRECT block{0, 0, 16, 8};
        ASSERT_EQ(device_->Clear(1, &block, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0), D3D_OK);
        D3DVIEWPORT8 viewport;
        device_->GetViewport(&viewport);
        const LONG right = static_cast<LONG>(viewport.Width), bottom = static_cast<LONG>(viewport.Height);
        const D3DRECT corner{right - 1, bottom - 1, right, bottom};
        ASSERT_EQ(device_->Clear(1, &corner, D3DCLEAR_TARGET, 0xFF00FF00u, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    };
    // Single-sampled, then multisampled (shown from its resolved copy).
    for (const D3DMULTISAMPLE_TYPE samples : {D3DMULTISAMPLE_NONE, D3DMULTISAMPLE_4_SAMPLES}) {
        if (samples != D3DMULTISAMPLE_NONE) {
            device_->Release();
            ASSERT_EQ(createDevice(D3DDEVTYPE_HAL, true, samples), D3D_OK);
        }
        ASSERT_NO_FATAL_FAILURE(paint());
        capture();
        const std::vector<std::uint8_t> shown = readWindow(window_);
        ASSERT_EQ(shown.size(), frame_.rgba.size());
        for (size_t i = 0; i < shown.size(); i += 4)
            ASSERT_TRUE(shown[i] == frame_.rgba[i] && shown[i + 1] == frame_.rgba[i + 1] &&
                        shown[i + 2] == frame_.rgba[i + 2])
                << "window pixel " << (i / 4) % kWidth << "," << (i / 4) / kWidth << " differs from the back buffer"
                << " with " << samples << " samples";
    }

    // A back buffer of half the window's size fills the whole window.
    device_->Release();
    D3DPRESENT_PARAMETERS half = windowedParameters();
    half.BackBufferWidth = kWidth / 2;
    half.BackBufferHeight = kHeight / 2;
    ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                 &half, &device_),
              D3D_OK);
    ASSERT_NO_FATAL_FAILURE(paint());
    const std::vector<std::uint8_t> stretched = readWindow(window_);
    auto at = [&](int x, int y) {
        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 4;
        return Rgba{stretched[i], stretched[i + 1], stretched[i + 2], 255};
    };
    EXPECT_EQ(at(4, 4).r, 255) << "the block's top left";
    EXPECT_EQ(at(28, 12).r, 255) << "the block's bottom right, twice its size";
    EXPECT_EQ(at(36, 4).b, 255) << "right of the block";
    EXPECT_EQ(at(4, 20).b, 255) << "below the block";
    EXPECT_GT(at(63, 63).g, 100) << "the green corner lands in the window's corner";
}

TEST_F(ClearAndScreenTest, DrawsAfterPresentKeepTheirState) {
    // Two squares in one vertex buffer, one per frame. The second frame sets nothing again: what
    // it draws must not depend on how Present showed the first.
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(8 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, kScreenFvf, D3DPOOL_MANAGED,
                                          &buffer),
              D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    auto* vertices = reinterpret_cast<ScreenVertex*>(data);
    for (int square = 0; square < 2; ++square) {
        const float x1 = square == 0 ? 3.5f : 29.5f, x2 = x1 + 8, y1 = 9.5f, y2 = 17.5f;
        const D3DCOLOR green = 0xFF00FF00u;
        vertices[4 * square + 0] = {x1, y1, 0.5f, 1.0f, green, 0, 0};
        vertices[4 * square + 1] = {x2, y1, 0.5f, 1.0f, green, 0, 0};
        vertices[4 * square + 2] = {x1, y2, 0.5f, 1.0f, green, 0, 0};
        vertices[4 * square + 3] = {x2, y2, 0.5f, 1.0f, green, 0, 0};
    }
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    ASSERT_EQ(device_->SetVertexShader(kScreenFvf), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, buffer, sizeof(ScreenVertex)), D3D_OK);
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4 * static_cast<UINT>(frame), 2), D3D_OK);
        capture();
        const int x = frame == 0 ? 4 : 30;
        EXPECT_EQ(drawnBox(), (Box{x, 10, x + 8, 18})) << "frame " << frame;
        EXPECT_EQ(countPixels(0, 255, 0, 0), 64) << "frame " << frame;
        ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
    device_->SetStreamSource(0, nullptr, 0);
    buffer->Release();
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
