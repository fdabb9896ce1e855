// Every texture format through Lock, write, Unlock and a draw that shows each texel on one
// pixel; mip chains and their level descriptions.
#include <cstring>

#include "GlFixture.h"

namespace quorvel::testing {
namespace {

struct FormatCase {
    D3DFORMAT format;
    UINT bytes;
    // Texel value for an 8-bit colour with full channels: one per quadrant below.
    DWORD red, green, blue, halfWhite;  // halfWhite: every channel about half, alpha half
    int redBits, greenBits, blueBits, alphaBits;  // 0 alpha bits: alpha reads as opaque
};

const FormatCase kFormats[] = {
    {D3DFMT_A8R8G8B8, 4, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80808080u, 8, 8, 8, 8},
    {D3DFMT_X8R8G8B8, 4, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00808080u, 8, 8, 8, 0},
    {D3DFMT_R5G6B5, 2, 0xF800u, 0x07E0u, 0x001Fu, 0x8410u, 5, 6, 5, 0},
    {D3DFMT_A4R4G4B4, 2, 0xFF00u, 0xF0F0u, 0xF00Fu, 0x8888u, 4, 4, 4, 4},
    {D3DFMT_X4R4G4B4, 2, 0x0F00u, 0x00F0u, 0x000Fu, 0x0888u, 4, 4, 4, 0},
    {D3DFMT_A1R5G5B5, 2, 0xFC00u, 0x83E0u, 0x801Fu, 0x4210u, 5, 5, 5, 1},
    {D3DFMT_X1R5G5B5, 2, 0x7C00u, 0x03E0u, 0x001Fu, 0x4210u, 5, 5, 5, 0},
};

// An n-bit channel value v shown as 8 bits.
int expand(int v, int bits) { return (v * 255 + ((1 << bits) - 1) / 2) / ((1 << bits) - 1); }

class TextureFormatTest : public GlDeviceTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GlDeviceTest::SetUp());
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    }
};

void writeTexel(BYTE* row, UINT x, UINT bytes, DWORD value) { std::memcpy(row + x * bytes, &value, bytes); }

TEST_P(TextureFormatTest, TexelsSurviveLockAndDraw) {
    const FormatCase& c = GetParam();
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    ASSERT_GE(locked.Pitch, static_cast<INT>(4 * c.bytes));
    // Quadrants: red top left, green top right, blue bottom left, half grey bottom right.
    for (UINT y = 0; y < 4; ++y) {
        BYTE* row = static_cast<BYTE*>(locked.pBits) + y * locked.Pitch;
        for (UINT x = 0; x < 4; ++x)
            writeTexel(row, x, c.bytes, y < 2 ? (x < 2 ? c.red : c.green) : (x < 2 ? c.blue : c.halfWhite));
    }
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);  // not locked any more
    ASSERT_EQ(device_->SetTexture(0, texture), D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000u, 1.0f, 0);
    // One texel per pixel: texel centres on pixel centres needs the half-pixel shift.
    drawScreenRect(8 - 0.5f, 8 - 0.5f, 12 - 0.5f, 12 - 0.5f, 0xFFFFFFFFu);
    capture();
    const Rgba red = pixel(8, 8), green = pixel(11, 9), blue = pixel(9, 10), grey = pixel(10, 11);
    EXPECT_EQ(red.r, 255);
    EXPECT_EQ(red.g, 0);
    EXPECT_EQ(green.g, 255);
    EXPECT_EQ(green.r, 0);
    EXPECT_EQ(blue.b, 255);
    EXPECT_EQ(blue.g, 0);
    // Half grey: the channel's middle value, expanded to 8 bits.
    EXPECT_EQ(grey.r, expand(1 << (c.redBits - 1), c.redBits));
    EXPECT_EQ(grey.g, expand(1 << (c.greenBits - 1), c.greenBits));
    EXPECT_EQ(grey.b, expand(1 << (c.blueBits - 1), c.blueBits));
    if (c.alphaBits == 0) {
        EXPECT_EQ(grey.a, 255) << "X formats read as opaque";
    } else if (c.alphaBits == 1) {
        EXPECT_EQ(grey.a, 0);
        EXPECT_EQ(red.a, 255);
    } else {
        EXPECT_EQ(grey.a, expand(1 << (c.alphaBits - 1), c.alphaBits));
    }
    EXPECT_EQ(texture->Release(), 0u);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, TextureFormatTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return "format" + std::to_string(info.param.format); });

using MipTest = GlDeviceTest;

TEST_F(MipTest, FullChainAndLevelDescriptions) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(64, 16, 0, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 7u);
    const UINT widths[7] = {64, 32, 16, 8, 4, 2, 1}, heights[7] = {16, 8, 4, 2, 1, 1, 1};
    for (UINT i = 0; i < 7; ++i) {
        D3DSURFACE_DESC desc;
        ASSERT_EQ(texture->GetLevelDesc(i, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, widths[i]);
        EXPECT_EQ(desc.Height, heights[i]);
        EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(i, &locked, nullptr, 0), D3D_OK);
        EXPECT_GE(locked.Pitch, static_cast<INT>(widths[i] * 2));
        ASSERT_EQ(texture->UnlockRect(i), D3D_OK);
    }
    D3DSURFACE_DESC desc;
    EXPECT_EQ(texture->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(texture->LockRect(7, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 0u);

    ASSERT_EQ(device_->CreateTexture(64, 64, 3, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    EXPECT_EQ(texture->Release(), 0u);

    EXPECT_EQ(device_->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
}

TEST_F(MipTest, MipFilterSamplesTheSmallerLevel) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(8, 8, 2, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    const DWORD colours[2] = {0x00FF0000u, 0x0000FF00u};
    for (UINT level = 0; level < 2; ++level) {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        const UINT size = 8 >> level;
        for (UINT y = 0; y < size; ++y)
            for (UINT x = 0; x < size; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = colours[level];
        ASSERT_EQ(texture->UnlockRect(level), D3D_OK);
    }
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetTexture(0, texture);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    // 8 texels on 4 pixels: level 1 when mipmapping, level 0 without.
    drawScreenRect(0 - 0.5f, 0 - 0.5f, 4 - 0.5f, 4 - 0.5f, 0xFFFFFFFFu);
    device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    drawScreenRect(8 - 0.5f, 0 - 0.5f, 12 - 0.5f, 4 - 0.5f, 0xFFFFFFFFu);
    capture();
    EXPECT_EQ(pixel(1, 1).r, 255);
    EXPECT_EQ(pixel(9, 1).g, 255);
    EXPECT_EQ(pixel(9, 1).r, 0);
    device_->SetTexture(0, nullptr);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(MipTest, LockedSubRectangleAddressesTheRightTexels) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT whole;
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, 0), D3D_OK);
    BYTE* base = static_cast<BYTE*>(whole.pBits);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    const RECT rect{2, 3, 5, 7};
    D3DLOCKED_RECT part;
    ASSERT_EQ(texture->LockRect(0, &part, &rect, 0), D3D_OK);
    EXPECT_EQ(static_cast<BYTE*>(part.pBits), base + 3 * whole.Pitch + 2 * 4);
    EXPECT_EQ(texture->LockRect(0, &part, &rect, 0), D3DERR_INVALIDCALL) << "already locked";
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    const RECT outside{6, 6, 9, 8};
    EXPECT_EQ(texture->LockRect(0, &part, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 0u);
}

}  // namespace
}  // namespace quorvel::testing
