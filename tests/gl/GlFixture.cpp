#include "GlFixture.h"

#include <cmath>
#include <cstdlib>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

namespace quorvel::testing {

D3DMATRIX identityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

bool writeImageFile(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
    const std::string ext = path.substr(path.find_last_of('.') + 1);
    const char* name = path.c_str();
    if (ext == "png") return stbi_write_png(name, width, height, 4, rgba.data(), width * 4) != 0;
    if (ext == "jpg") return stbi_write_jpg(name, width, height, 4, rgba.data(), 95) != 0;
    if (ext == "bmp") return stbi_write_bmp(name, width, height, 4, rgba.data()) != 0;
    if (ext == "tga") return stbi_write_tga(name, width, height, 4, rgba.data()) != 0;
    return false;
}

D3DMATRIX perspectiveLH(float fovY, float aspect, float zn, float zf) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    D3DMATRIX m{};
    m._11 = yScale / aspect;
    m._22 = yScale;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

void GlDeviceTest::SetUp() {
    // SDL's video and one GL window stay up for the whole process: SDL unloads the GL driver
    // with its last GL window, after which the leak checker can no longer tell the driver's
    // own caches from ours.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    static SDL_Window* keeper = SDL_CreateWindow("keeper", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(keeper, nullptr) << SDL_GetError();
    window_ = SDL_CreateWindow("quorvel test", 0, 0, static_cast<int>(width_), static_cast<int>(height_),
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d_, nullptr);
    ASSERT_EQ(createDevice(), D3D_OK);
}

void GlDeviceTest::TearDown() {
    if (device_) {
        EXPECT_EQ(device_->Release(), 0u) << "device still referenced at the end of the test";
    }
    if (d3d_) {
        EXPECT_EQ(d3d_->Release(), 0u);
    }
    if (window_) SDL_DestroyWindow(window_);
}

D3DPRESENT_PARAMETERS GlDeviceTest::windowedParameters(bool depth) const {
    D3DPRESENT_PARAMETERS p{};
    p.Windowed = TRUE;
    p.BackBufferCount = 1;
    p.BackBufferWidth = width_;
    p.BackBufferHeight = height_;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window_;
    p.EnableAutoDepthStencil = depth ? TRUE : FALSE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    return p;
}

HRESULT GlDeviceTest::createDevice(D3DDEVTYPE type, bool depth, D3DMULTISAMPLE_TYPE samples) {
    D3DPRESENT_PARAMETERS p = windowedParameters(depth);
    p.MultiSampleType = samples;
    return d3d_->CreateDevice(D3DADAPTER_DEFAULT, type, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_);
}

void GlDeviceTest::drawScreenRect(float x1, float y1, float x2, float y2, D3DCOLOR colour, float z, float u1,
                                  float v1, float u2, float v2) {
    const ScreenVertex quad[4] = {
        {x1, y1, z, 1.0f, colour, u1, v1},
        {x2, y1, z, 1.0f, colour, u2, v1},
        {x1, y2, z, 1.0f, colour, u1, v2},
        {x2, y2, z, 1.0f, colour, u2, v2},
    };
    ASSERT_EQ(device_->SetVertexShader(kScreenFvf), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
}

void GlDeviceTest::capture() { ASSERT_TRUE(ReadBackBuffer(device_, frame_)); }

Rgba GlDeviceTest::pixel(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * frame_.width + static_cast<size_t>(x)) * 4;
    return {frame_.rgba[i], frame_.rgba[i + 1], frame_.rgba[i + 2], frame_.rgba[i + 3]};
}

void GlDeviceTest::expectPixel(int x, int y, int r, int g, int b, int tolerance) const {
    const Rgba p = pixel(x, y);
    EXPECT_NEAR(p.r, r, tolerance) << "red at " << x << "," << y;
    EXPECT_NEAR(p.g, g, tolerance) << "green at " << x << "," << y;
    EXPECT_NEAR(p.b, b, tolerance) << "blue at " << x << "," << y;
}

void GlDeviceTest::savePng(const std::string& name) const {
    stbi_write_png(name.c_str(), static_cast<int>(frame_.width), static_cast<int>(frame_.height), 4,
                   frame_.rgba.data(), static_cast<int>(frame_.width * 4));
}

int GlDeviceTest::countPixels(int r, int g, int b, int tolerance) const {
    int n = 0;
    for (size_t i = 0; i + 3 < frame_.rgba.size(); i += 4)
        if (std::abs(frame_.rgba[i] - r) <= tolerance && std::abs(frame_.rgba[i + 1] - g) <= tolerance &&
            std::abs(frame_.rgba[i + 2] - b) <= tolerance)
            ++n;
    return n;
}

}  // namespace quorvel::testing
