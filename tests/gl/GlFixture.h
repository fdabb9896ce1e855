// A real GL device on a hidden SDL window (run with SDL_VIDEODRIVER=offscreen), with helpers to
// draw simple geometry and read pixels back. Every test that draws through the OpenGL layer
// builds on it.
#pragma once

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/gl/FrameReadback.h"

namespace quorvel::testing {

// Vertex of format 0x144: screen position, colour, texture coordinates.
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Vertex of format 0x112: position, normal, texture coordinates.
struct MeshVertex {
    float x, y, z, nx, ny, nz, u, v;
};
constexpr DWORD kMeshFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct Rgba {
    int r, g, b, a;
};

D3DMATRIX identityMatrix();
// Writes RGBA pixels as an image file of the kind its extension names (.png, .jpg, .bmp, .tga).
bool writeImageFile(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);
// Left-handed perspective projection, as D3DXMatrixPerspectiveFovLH makes it.
D3DMATRIX perspectiveLH(float fovY, float aspect, float zn, float zf);

class GlDeviceTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 64;

    // A window and back buffer of width x height.
    explicit GlDeviceTest(UINT width = kWidth, UINT height = kHeight) : width_(width), height_(height) {}
    // Makes the window and device_ with createDevice's defaults; fixtures that set more up call
    // it first (ASSERT_NO_FATAL_FAILURE), tests that want another device release device_ first.
    void SetUp() override;
    void TearDown() override;

    // Creates device_ with these presentation choices (windowed, the fixture's size).
    HRESULT createDevice(D3DDEVTYPE type = D3DDEVTYPE_HAL, bool depth = true,
                         D3DMULTISAMPLE_TYPE samples = D3DMULTISAMPLE_NONE);
    D3DPRESENT_PARAMETERS windowedParameters(bool depth = true) const;

    // Draws an axis-aligned screen rectangle [x1, x2) x [y1, y2) in pixels (already shifted by
    // the half pixel that maps Direct3D pixel centres onto texel centres) with one colour.
    void drawScreenRect(float x1, float y1, float x2, float y2, D3DCOLOR colour, float z = 0.5f, float u1 = 0.0f,
                        float v1 = 0.0f, float u2 = 1.0f, float v2 = 1.0f);
    // Reads the back buffer; pixel() then answers from that copy.
    void capture();
    Rgba pixel(int x, int y) const;
    // Expects the captured pixel (x, y) to be r, g, b within tolerance.
    void expectPixel(int x, int y, int r, int g, int b, int tolerance) const;
    // Writes the last capture as a PNG into the test's working folder (for looking at it).
    void savePng(const std::string& name) const;
    // Counts captured pixels whose colour equals rgb within tolerance.
    int countPixels(int r, int g, int b, int tolerance = 2) const;

    const UINT width_, height_;
    SDL_Window* window_ = nullptr;
    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* device_ = nullptr;
    FramePixels frame_;
};

}  // namespace quorvel::testing
