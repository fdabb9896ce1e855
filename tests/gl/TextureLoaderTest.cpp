// The D3DX texture loader on real files: sizes, scaling, formats, mip chains, failures.
#include <cstring>
#include <filesystem>
#include <iterator>
#include <fstream>

#include <unistd.h>

#include "GlFixture.h"
#include "platform/d3dx8/d3dx8tex.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

class TextureLoaderTest : public GlDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GlDeviceTest::SetUp());
        folder_ = fs::temp_directory_path() / ("quorvel_loader_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        if (texture_) {
            EXPECT_EQ(texture_->Release(), 0u);
        }
        fs::remove_all(folder_);
        GlDeviceTest::TearDown();
    }
    // A picture whose left half is red and right half blue, alpha 255 (or the given alpha).
    std::string makeImage(const std::string& name, int w, int h, std::uint8_t alpha = 255) {
        std::vector<std::uint8_t> rgba(static_cast<size_t>(w) * h * 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
                p[0] = x < w / 2 ? 255 : 0;
                p[1] = 0;
                p[2] = x < w / 2 ? 0 : 255;
                p[3] = alpha;
            }
        const std::string path = (folder_ / name).string();
        EXPECT_TRUE(writeImageFile(path, w, h, rgba));
        return path;
    }
    HRESULT load(const std::string& path, UINT width, UINT height, UINT mips, D3DFORMAT format,
                 DWORD mipFilter = D3DX_FILTER_POINT, DWORD filter = D3DX_DEFAULT) {
        return D3DXCreateTextureFromFileExA(device_, path.c_str(), width, height, mips, 0, format, D3DPOOL_MANAGED,
                                            filter, mipFilter, 0, &info_, nullptr, &texture_);
    }
    D3DSURFACE_DESC level(UINT i) {
        D3DSURFACE_DESC d{};
        EXPECT_EQ(texture_->GetLevelDesc(i, &d), D3D_OK);
        return d;
    }
    DWORD texel(UINT lvl, UINT x, UINT y) {
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture_->LockRect(lvl, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        const DWORD v = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
        texture_->UnlockRect(lvl);
        return v;
    }

    fs::path folder_;
    IDirect3DTexture8* texture_ = nullptr;
    D3DXIMAGE_INFO info_{};
};

TEST_F(TextureLoaderTest, DefaultSizeRoundsUpToPowersOfTwoAndReportsTheFile) {
    const std::string path = makeImage("photo.jpg", 100, 60);
    ASSERT_EQ(load(path, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_X8R8G8B8), D3D_OK);
    EXPECT_EQ(level(0).Width, 128u);
    EXPECT_EQ(level(0).Height, 64u);
    EXPECT_EQ(level(0).Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(info_.Width, 100u);
    EXPECT_EQ(info_.Height, 60u);
    EXPECT_EQ(info_.Depth, 1u);
    EXPECT_EQ(info_.MipLevels, 1u);
    EXPECT_EQ(info_.Format, D3DFMT_R8G8B8);  // a JPEG has no alpha
    // Full chain for levels 0: 128x64 down to 1x1.
    EXPECT_EQ(texture_->GetLevelCount(), 8u);
    // The picture is stretched over the whole texture: red on the left, blue on the right.
    const DWORD left = texel(0, 10, 32), right = texel(0, 117, 32);
    EXPECT_GT((left >> 16) & 0xFF, 200u);
    EXPECT_LT(left & 0xFF, 50u);
    EXPECT_GT(right & 0xFF, 200u);
    EXPECT_LT((right >> 16) & 0xFF, 50u);
}

TEST_F(TextureLoaderTest, ExplicitSizeRescalesAndDefaultMipsGiveFullChain) {
    const std::string path = makeImage("wide.png", 100, 60);
    ASSERT_EQ(load(path, 32, 16, D3DX_DEFAULT, D3DFMT_A8R8G8B8, D3DX_FILTER_LINEAR), D3D_OK);
    EXPECT_EQ(level(0).Width, 32u);
    EXPECT_EQ(level(0).Height, 16u);
    EXPECT_EQ(texture_->GetLevelCount(), 6u);
    EXPECT_EQ(level(5).Width, 1u);
    EXPECT_EQ(info_.Width, 100u);
    EXPECT_EQ(info_.Format, D3DFMT_A8R8G8B8);  // PNG written with alpha
    EXPECT_EQ(texel(0, 2, 8), 0xFFFF0000u);
    EXPECT_EQ(texel(0, 29, 8), 0xFF0000FFu);
    // Linear mip filter: the 1x1 level averages red and blue halves.
    const DWORD last = texel(5, 0, 0);
    EXPECT_NEAR(static_cast<int>((last >> 16) & 0xFF), 128, 3);
    EXPECT_NEAR(static_cast<int>(last & 0xFF), 128, 3);
}

TEST_F(TextureLoaderTest, OddExplicitSizeIsRoundedUpToMatchTheColourFile) {
    // An alpha file loaded with the colour file's size (100 x 60) must match the colour
    // texture made from the same file size with D3DX_DEFAULT.
    const std::string path = makeImage("alpha.bmp", 50, 30);
    ASSERT_EQ(load(path, 100, 60, 0, D3DFMT_A8R8G8B8), D3D_OK);
    EXPECT_EQ(level(0).Width, 128u);
    EXPECT_EQ(level(0).Height, 64u);
    EXPECT_EQ(info_.Width, 50u);
}

TEST_F(TextureLoaderTest, SingleLevelAndSixteenBitFormats) {
    const std::string path = makeImage("half.tga", 16, 16, 0x80);
    ASSERT_EQ(load(path, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_A4R4G4B4), D3D_OK);
    EXPECT_EQ(texture_->GetLevelCount(), 1u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture_->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const WORD first = static_cast<const WORD*>(locked.pBits)[0];
    texture_->UnlockRect(0);
    EXPECT_EQ(first, 0x8F00u);  // alpha 8 of 15, red full
}

TEST_F(TextureLoaderTest, UnknownFormatTakesTheFilesAlpha) {
    ASSERT_EQ(load(makeImage("plain.jpg", 8, 8), D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN), D3D_OK);
    EXPECT_EQ(level(0).Format, D3DFMT_X8R8G8B8);
    texture_->Release();
    texture_ = nullptr;
    ASSERT_EQ(load(makeImage("alpha.png", 8, 8, 10), D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN), D3D_OK);
    EXPECT_EQ(level(0).Format, D3DFMT_A8R8G8B8);
}

TEST_F(TextureLoaderTest, ColourKeyAndUnfilteredCopy) {
    const std::string path = makeImage("keyed.png", 8, 8);
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device_, path.c_str(), 16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                           D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0xFFFF0000u, &info_, nullptr,
                                           &texture_),
              D3D_OK);
    EXPECT_EQ(level(0).Width, 16u);
    EXPECT_EQ(texel(0, 1, 1), 0u) << "red matched the colour key";
    EXPECT_EQ(texel(0, 6, 1), 0xFF0000FFu) << "blue kept, not scaled";
    EXPECT_EQ(texel(0, 12, 12), 0u) << "outside the copied picture";
}

TEST_F(TextureLoaderTest, NameIsMatchedIgnoringCase) {
    makeImage("CWALL02.jpg", 8, 8);
    ASSERT_EQ(load((folder_ / "CWALL02.JPG").string(), D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_X8R8G8B8), D3D_OK);
    EXPECT_EQ(info_.Width, 8u);
}

TEST_F(TextureLoaderTest, MissingOrCorruptFilesFailCleanly) {
    info_.Width = 1234;
    EXPECT_EQ(load((folder_ / "absent.jpg").string(), D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_X8R8G8B8),
              D3DERR_NOTFOUND);
    EXPECT_EQ(texture_, nullptr);
    EXPECT_EQ(info_.Width, 1234u) << "info untouched on failure";

    const fs::path corrupt = folder_ / "corrupt.jpg";
    {
        std::ofstream out(corrupt, std::ios::binary);
        out << "\xFF\xD8\xFF\xE0 this is not really a jpeg at all";
    }
    EXPECT_EQ(load(corrupt.string(), D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_X8R8G8B8), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, nullptr);

    // A truncated PNG.
    const std::string good = makeImage("cut.png", 64, 64);
    fs::resize_file(good, 60);
    EXPECT_EQ(load(good, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_X8R8G8B8), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, nullptr);

    const fs::path empty = folder_ / "empty.png";
    std::ofstream(empty).close();
    EXPECT_EQ(load(empty.string(), D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_X8R8G8B8), D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXCreateTextureFromFileExA(nullptr, good.c_str(), 0, 0, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, 0, 0,
                                           0, nullptr, nullptr, &texture_),
              D3DERR_INVALIDCALL);
}

// A file read into memory beforehand gives the texture the file itself gives.
TEST_F(TextureLoaderTest, BytesInMemoryLoadAsTheirFileDoes) {
    const std::string path = makeImage("half.png", 48, 20, 128);
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    auto fromMemory = [&](const void* data, UINT size, D3DXIMAGE_INFO* info) {
        return D3DXCreateTextureFromFileInMemoryEx(device_, data, size, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0,
                                                   D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_FILTER_BOX, 0,
                                                   info, nullptr, &texture_);
    };
    D3DXIMAGE_INFO memoryInfo{};
    ASSERT_EQ(fromMemory(bytes.data(), static_cast<UINT>(bytes.size()), &memoryInfo), D3D_OK);
    IDirect3DTexture8* inMemory = texture_;
    texture_ = nullptr;
    ASSERT_EQ(load(path, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_A4R4G4B4, D3DX_FILTER_BOX), D3D_OK);
    EXPECT_EQ(std::memcmp(&memoryInfo, &info_, sizeof info_), 0);
    ASSERT_EQ(inMemory->GetLevelCount(), texture_->GetLevelCount());
    for (UINT lvl = 0; lvl < texture_->GetLevelCount(); ++lvl) {
        D3DSURFACE_DESC desc{};
        texture_->GetLevelDesc(lvl, &desc);
        D3DLOCKED_RECT a{}, b{};
        ASSERT_EQ(inMemory->LockRect(lvl, &a, nullptr, D3DLOCK_READONLY), D3D_OK);
        ASSERT_EQ(texture_->LockRect(lvl, &b, nullptr, D3DLOCK_READONLY), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y)
            EXPECT_EQ(std::memcmp(static_cast<BYTE*>(a.pBits) + y * a.Pitch, static_cast<BYTE*>(b.pBits) + y * b.Pitch,
                                  desc.Width * 2),
                      0)
                << "level " << lvl << " row " << y;
        inMemory->UnlockRect(lvl);
        texture_->UnlockRect(lvl);
    }
    EXPECT_EQ(inMemory->Release(), 0u);

    EXPECT_EQ(texture_->Release(), 0u);
    texture_ = nullptr;
    EXPECT_EQ(fromMemory(nullptr, 10, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(fromMemory(bytes.data(), 0, nullptr), D3DXERR_INVALIDDATA);
    EXPECT_EQ(fromMemory(bytes.data(), 40, nullptr), D3DXERR_INVALIDDATA) << "cut short";
    EXPECT_EQ(texture_, nullptr);
}

// 16-bit PNM files (maxval above 255): stb_image's own RGBA widening read past its buffer for
// them, so grey and colour ones must come out right, and a short one must fail cleanly.
TEST_F(TextureLoaderTest, SixteenBitPnmFilesLoadTheirColours) {
    auto write = [&](const std::string& name, const std::string& header, const std::vector<std::uint16_t>& samples) {
        std::ofstream out(folder_ / name, std::ios::binary);
        out << header;
        for (std::uint16_t v : samples) out << static_cast<char>(v >> 8) << static_cast<char>(v & 0xFF);
        return (folder_ / name).string();
    };
    // 2x1 colour: red, then blue at full scale.
    ASSERT_EQ(load(write("c.ppm", "P6\n2 1\n65535\n", {65535, 0, 0, 0, 0, 65535}), D3DX_DEFAULT, D3DX_DEFAULT, 1,
                   D3DFMT_A8R8G8B8),
              D3D_OK);
    EXPECT_EQ(texel(0, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(texel(0, 1, 0), 0xFF0000FFu);
    EXPECT_EQ(texture_->Release(), 0u);
    texture_ = nullptr;
    // 2x1 grey: white, then black.
    ASSERT_EQ(load(write("g.pgm", "P5\n2 1\n65535\n", {65535, 0}), D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_A8R8G8B8),
              D3D_OK);
    EXPECT_EQ(texel(0, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(texel(0, 1, 0), 0xFF000000u);
    EXPECT_EQ(texture_->Release(), 0u);
    texture_ = nullptr;
    // Samples missing at the end.
    const std::string shortFile = write("s.ppm", "P6\n26 26\n666\n", {1, 2, 3});
    const HRESULT hr = load(shortFile, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_A8R8G8B8);
    EXPECT_TRUE(hr == D3D_OK || hr == D3DXERR_INVALIDDATA);
}

TEST_F(TextureLoaderTest, LoadedTextureDrawsItsPicture) {
    ASSERT_EQ(load(makeImage("draw.png", 64, 64), D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_A8R8G8B8), D3D_OK);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetTexture(0, texture_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    drawScreenRect(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
    capture();
    savePng("loaded_texture.png");
    EXPECT_EQ(countPixels(255, 0, 0, 0), 32 * 64);
    EXPECT_EQ(countPixels(0, 0, 255, 0), 32 * 64);
    device_->SetTexture(0, nullptr);
}

}  // namespace
}  // namespace quorvel::testing
