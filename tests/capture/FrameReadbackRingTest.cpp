// Reading frames back through the ring of pixel-pack buffers, on a real GL device (run with
// SDL_VIDEODRIVER=offscreen).
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "platform/gl/FrameReadback.h"
#include "platform/gl/FrameReadbackRing.h"

using quorvel::FrameReadbackRing;
using quorvel::FramePixels;

namespace {

constexpr UINT Width = 64;
constexpr UINT Height = 48;  // not square, so rows and columns cannot be mixed up unseen

struct Received {
    std::int64_t tag;
    std::vector<std::uint8_t> rgba;
};

class FrameReadbackRingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        // SDL unloads the GL driver with its last GL window; one stays for the whole process.
        static SDL_Window* keeper = SDL_CreateWindow("keeper", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(keeper, nullptr);
        window_ = SDL_CreateWindow("ring", 0, 0, Width, Height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr);
        d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(d3d_, nullptr);
    }
    void TearDown() override {
        if (device_) {
            EXPECT_EQ(device_->Release(), 0u);
        }
        if (d3d_) d3d_->Release();
        if (window_) SDL_DestroyWindow(window_);
    }

    bool createDevice(D3DMULTISAMPLE_TYPE samples) {
        D3DPRESENT_PARAMETERS p{};
        p.Windowed = TRUE;
        p.BackBufferWidth = Width;
        p.BackBufferHeight = Height;
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.SwapEffect = D3DSWAPEFFECT_DISCARD;
        p.hDeviceWindow = window_;
        p.MultiSampleType = samples;
        return SUCCEEDED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                            D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_));
    }

    // Frame k: a background of its own colour, a white block in the top-left corner; the
    // rectangle clear leaves the scissor test on, as a show's drawing may.
    void drawFrame(int k) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(10 * k, 255 - 10 * k, 100), 1.0f, 0);
        const D3DRECT corner{0, 0, 8, 4};
        device_->Clear(1, &corner, D3DCLEAR_TARGET, D3DCOLOR_XRGB(255, 255, 255), 1.0f, 0);
    }

    FrameReadbackRing::Receiver collect() {
        return [this](std::int64_t tag, const std::uint8_t* rgba, UINT width, UINT height) {
            EXPECT_EQ(width, Width);
            EXPECT_EQ(height, Height);
            received_.push_back({tag, std::vector<std::uint8_t>(rgba, rgba + width * height * 4)});
        };
    }

    static const std::uint8_t* pixel(const std::vector<std::uint8_t>& rgba, UINT x, UINT y) {
        return &rgba[(y * Width + x) * 4];
    }

    void checkFrames(int count) {
        ASSERT_EQ(received_.size(), static_cast<size_t>(count));
        for (int k = 0; k < count; ++k) {
            EXPECT_EQ(received_[k].tag, 100 + k);
            const std::uint8_t* corner = pixel(received_[k].rgba, 0, 0);
            EXPECT_EQ(corner[0], 255);  // top row first
            const std::uint8_t* back = pixel(received_[k].rgba, Width - 1, Height - 1);
            EXPECT_EQ(back[0], 10 * k) << k;
            EXPECT_EQ(back[1], 255 - 10 * k) << k;
            EXPECT_EQ(back[2], 100) << k;
        }
    }

    SDL_Window* window_ = nullptr;
    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* device_ = nullptr;
    std::vector<Received> received_;
};

}  // namespace

TEST_F(FrameReadbackRingTest, FramesComeBackInOrderOnceTheRingComesRound) {
    ASSERT_TRUE(createDevice(D3DMULTISAMPLE_NONE));
    FrameReadbackRing ring(3);
    for (int k = 0; k < 7; ++k) {
        drawFrame(k);
        ASSERT_TRUE(ring.queue(device_, 100 + k, collect()));
        // Nothing comes back until three reads are in flight.
        EXPECT_EQ(received_.size(), static_cast<size_t>(k < 3 ? 0 : k - 2));
    }
    EXPECT_EQ(ring.pending(), 3u);
    ASSERT_TRUE(ring.drain(collect()));
    checkFrames(7);

    // The device's own read-back sees the same bytes, and GL is left as the device had it.
    FramePixels direct;
    ASSERT_TRUE(quorvel::ReadBackBuffer(device_, direct));
    EXPECT_EQ(direct.rgba, received_.back().rgba);
    GLint packBuffer = -1;
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &packBuffer);
    EXPECT_EQ(packBuffer, 0);
    ring.release();
}

TEST_F(FrameReadbackRingTest, MultisampledBackBuffersAreResolvedFirst) {
    if (!createDevice(D3DMULTISAMPLE_4_SAMPLES)) GTEST_SKIP() << "no 4x multisampling";
    FrameReadbackRing ring(2);
    for (int k = 0; k < 4; ++k) {
        drawFrame(k);
        ASSERT_TRUE(ring.queue(device_, 100 + k, collect()));
    }
    ASSERT_TRUE(ring.drain(collect()));
    checkFrames(4);
    // Drawing goes on into the device's framebuffer, not into the ring's resolve target.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(1, 2, 3), 1.0f, 0);
    FramePixels direct;
    ASSERT_TRUE(quorvel::ReadBackBuffer(device_, direct));
    EXPECT_EQ(direct.rgba[0], 1);
    EXPECT_EQ(direct.rgba[2], 3);
    ring.release();
}

TEST_F(FrameReadbackRingTest, OnlyOurDevicesCanBeRead) {
    FrameReadbackRing ring;
    EXPECT_FALSE(ring.queue(nullptr, 0, collect()));
    EXPECT_TRUE(ring.drain(collect()));
    EXPECT_TRUE(received_.empty());
}
