// Texture formats the image bank chooses on devices with fewer formats than the OpenGL device,
// and the alpha merge into 16-bit texels.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ImageBank.h"
#include "support/FakeDirect3D.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "stb_image_write.h"
#pragma GCC diagnostic pop

using quorvel::testing::TempDir;

namespace {

void writeGrey(const std::string& path, int width, int height, std::uint8_t left, std::uint8_t right) {
    std::vector<std::uint8_t> rgb(static_cast<size_t>(width * height * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = x < width / 2 ? left : right;
            std::uint8_t* p = &rgb[static_cast<size_t>((y * width + x) * 3)];
            p[0] = p[1] = p[2] = v;
        }
    }
    ASSERT_TRUE(stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3));
}

class ImageFormats : public ::testing::Test {
protected:
    void offer(std::set<D3DFORMAT> formats) {
        direct3d_->adapters[0].hal.textureFormats = std::move(formats);
        direct3d_->adapters[0].ref.textureFormats = direct3d_->adapters[0].hal.textureFormats;
    }
    void attach() {
        device_ = new quorvel::testing::RecordingDevice(640, 480, direct3d_);
        bank_.SetBasePath(dir_.path() + "/");
        ASSERT_EQ(bank_.SetDevice(device_), S_OK);
    }
    void TearDown() override {
        bank_.ReleaseImages();
        bank_.ReleaseDirect3D();
        if (device_) device_->Release();
        direct3d_->Release();
    }

    TempDir dir_;
    quorvel::testing::FakeDirect3D* direct3d_ = new quorvel::testing::FakeDirect3D;
    quorvel::testing::RecordingDevice* device_ = nullptr;
    ImageBank bank_;
};

}  // namespace

TEST_F(ImageFormats, ThirtyTwoBitFormatsComeFirst) {
    attach();
    EXPECT_EQ(bank_.ChooseTextureFormat(false, false), D3DFMT_A8R8G8B8);
    EXPECT_EQ(bank_.ChooseTextureFormat(true, false), D3DFMT_A8R8G8B8);
    offer({D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A4R4G4B4});
    // Without A8R8G8B8 an alpha image still takes the 32-bit format, where its alpha is unseen.
    EXPECT_EQ(bank_.ChooseTextureFormat(true, false), D3DFMT_X8R8G8B8);
    offer({});
    EXPECT_EQ(bank_.ChooseTextureFormat(false, false), D3DFMT_UNKNOWN);
}

TEST_F(ImageFormats, SixteenBitDevicesGetR5G6B5AndA4R4G4B4WithFourBitAlpha) {
    offer({D3DFMT_R5G6B5, D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5});
    attach();
    EXPECT_EQ(bank_.ChooseTextureFormat(false, false), D3DFMT_R5G6B5);
    EXPECT_EQ(bank_.ChooseTextureFormat(true, false), D3DFMT_A4R4G4B4);

    writeGrey(dir_.path() + "/plain.png", 8, 8, 255, 255);
    writeGrey(dir_.path() + "/mask.png", 8, 8, 0, 255);
    ImageEntry* plain = bank_.LoadImage("plain.png", false);
    ASSERT_NE(plain, nullptr);
    D3DSURFACE_DESC desc{};
    plain->texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);

    ImageEntry* masked = bank_.LoadImageWithAlpha("plain.png", "mask.png", false);
    ASSERT_EQ(masked, plain);  // the name is already in the bank
    bank_.ReleaseImages();
    masked = bank_.LoadImageWithAlpha("plain.png", "mask.png", false);
    ASSERT_NE(masked, nullptr);
    masked->texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
    D3DLOCKED_RECT lock{};
    ASSERT_EQ(masked->texture->LockRect(0, &lock, nullptr, 0), S_OK);
    const auto* row = static_cast<const std::uint16_t*>(lock.pBits);
    EXPECT_EQ(row[1], 0x0FFFu);  // black in the alpha file: transparent white
    EXPECT_EQ(row[6], 0xFFFFu);  // white in the alpha file: opaque white
    masked->texture->UnlockRect(0);
}
