// The image bank on the OpenGL device: loading by name, alpha files merged into the alpha
// channel, and binding; and the engine's image set-up from "@loadimage" lines and scene materials.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/3dswriter/ThreeDSWriter.h"
#include "engine/DemoEngine.h"
#include "gl/GlFixture.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"
#include "tests/engine/ShowFolderTest.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "stb_image_write.h"
#pragma GCC diagnostic pop

using quorvel::testing::CapturedReports;
using quorvel::testing::EngineWithoutDialog;
using quorvel::testing::GlDeviceTest;
using quorvel::testing::ShowFolderTest;
using quorvel::testing::TempDir;

namespace {

// Writes a PNG whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
template <typename ColourAt>
void writePng(const std::string& path, int width, int height, ColourAt colour) {
    std::vector<std::uint8_t> rgb(static_cast<size_t>(width * height * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            std::uint8_t* p = &rgb[static_cast<size_t>((y * width + x) * 3)];
            p[0] = static_cast<std::uint8_t>(c >> 16);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c);
        }
    }
    ASSERT_TRUE(stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3));
}

// A real device on a hidden window, and an image bank on it reading from a temporary folder.
class ImageBankOnDevice : public GlDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GlDeviceTest::SetUp());
        bank_.SetBasePath(dir_.path() + "/");
        ASSERT_EQ(bank_.SetDevice(device_), S_OK);
    }
    void TearDown() override {
        bank_.ReleaseImages();
        bank_.ReleaseDirect3D();
        GlDeviceTest::TearDown();  // every texture was given back
    }

    std::string file(const std::string& name) const { return dir_.path() + "/" + name; }

    // The 32-bit texel (x, y) of level 0.
    std::uint32_t texel(const ImageEntry* entry, int x, int y) {
        D3DLOCKED_RECT lock{};
        EXPECT_EQ(entry->texture->LockRect(0, &lock, nullptr, 0), S_OK);
        const std::uint32_t value = *reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(lock.pBits) +
                                                                            y * lock.Pitch + x * 4);
        entry->texture->UnlockRect(0);
        return value;
    }

    TempDir dir_;
    ImageBank bank_;
};

}  // namespace

TEST_F(ImageBankOnDevice, LoadsOnceByExactName) {
    writePng(file("Wood.png"), 100, 60, [](int, int) { return 0xFF0000u; });
    writePng(file("wood.png"), 8, 8, [](int, int) { return 0x0000FFu; });

    ImageEntry* first = bank_.LoadImage("Wood.png", false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(bank_.LoadImage("Wood.png", true), first);  // the same name is not loaded twice
    ImageEntry* other = bank_.LoadImage("wood.png", false);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(bank_.entries.size(), 2u);
    EXPECT_EQ(bank_.FindImage("Wood.png"), first);
    EXPECT_EQ(bank_.FindImage("WOOD.png"), nullptr);

    // The source is described as found; the texture is a power of two in the preferred format.
    EXPECT_EQ(first->info.Width, 100u);
    EXPECT_EQ(first->info.Height, 60u);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(first->texture->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Width, 128u);
    EXPECT_EQ(desc.Height, 64u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_FALSE(first->hasAlpha);
    EXPECT_EQ(texel(first, 10, 10) & 0x00FFFFFFu, 0xFF0000u);

    EXPECT_EQ(bank_.LoadImage("missing.png", false), nullptr);
    EXPECT_EQ(bank_.entries.size(), 2u);
}

TEST_F(ImageBankOnDevice, AlphaFileOfAnotherSizeLandsInTheAlphaChannel) {
    writePng(file("colour.png"), 64, 32, [](int, int) { return 0x20C040u; });
    // Black on the left half, white on the right, at a quarter of the colour image's size.
    writePng(file("mask.png"), 16, 8, [](int x, int) { return x < 8 ? 0x000000u : 0xFFFFFFu; });

    ImageEntry* entry = bank_.LoadImageWithAlpha("colour.png", "mask.png", false);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->hasAlpha);
    EXPECT_EQ(entry->name, "colour.png");
    EXPECT_EQ(texel(entry, 8, 16), 0x0020C040u);
    EXPECT_EQ(texel(entry, 56, 16), 0xFF20C040u);
    // Asking again hands out the entry already loaded.
    EXPECT_EQ(bank_.LoadImageWithAlpha("colour.png", "mask.png", false), entry);
    EXPECT_EQ(bank_.entries.size(), 1u);

    EXPECT_EQ(bank_.LoadImageWithAlpha("colour2.png", "mask.png", false), nullptr);
    writePng(file("colour2.png"), 4, 4, [](int, int) { return 0u; });
    EXPECT_EQ(bank_.LoadImageWithAlpha("colour2.png", "nomask.png", false), nullptr);
    EXPECT_EQ(bank_.entries.size(), 1u);
}

TEST_F(ImageBankOnDevice, BindingSetsAndClearsTheStage) {
    writePng(file("a.png"), 4, 4, [](int, int) { return 0xFFFFFFu; });
    ImageEntry* entry = bank_.LoadImage("a.png", false);
    ASSERT_NE(entry, nullptr);
    IDirect3DBaseTexture8* bound = nullptr;
    bank_.BindTexture(0, entry);
    ASSERT_EQ(device_->GetTexture(0, &bound), S_OK);
    EXPECT_EQ(bound, entry->texture);
    if (bound) bound->Release();
    bank_.BindTexture(0, nullptr);
    ASSERT_EQ(device_->GetTexture(0, &bound), S_OK);
    EXPECT_EQ(bound, nullptr);
}

namespace {

// The engine's image set-up, run on a real device in a show folder.
class EngineImages : public ShowFolderTest {
protected:
    using Engine = EngineWithoutDialog;

    void SetUp() override {
        show_.write("data/.keep", "");
        ShowFolderTest::SetUp();
    }
    void TearDown() override {
        if (engine) engine->cleanup();
        engine.reset();
        ShowFolderTest::TearDown();
    }

    HRESULT run(const std::string& header) {
        show_.write("data/vantro.jpg", "@data. " + header + " @code. @eof\n");
        engine = std::make_unique<Engine>();
        return engine->create(nullptr);
    }

    std::unique_ptr<Engine> engine;
};

}  // namespace

TEST_F(EngineImages, LoadImageLinesAndMaterialMaps) {
    auto solid = [](int, int) { return 0x808080u; };
    writePng(show_.path() + "/data/a.png", 8, 8, solid);
    writePng(show_.path() + "/data/b.png", 8, 8, solid);
    writePng(show_.path() + "/data/b_a.png", 8, 8, solid);
    writePng(show_.path() + "/data/panel.png", 8, 8, solid);
    writePng(show_.path() + "/data/glass.png", 8, 8, solid);

    threeds::SceneDesc scene;
    threeds::MaterialDesc textured;
    textured.name = "metal";
    textured.textureMap = "PANEL.PNG";  // written on Windows: the file is panel.png
    threeds::MaterialDesc see;
    see.name = "glass";
    see.opacityMap = "glass.png";
    threeds::MaterialDesc both;
    both.name = "banner";
    both.textureMap = "a.png";  // already loaded plainly by @loadimage: that entry is reused
    both.opacityMap = "b_a.png";
    scene.materials = {textured, see, both};
    ASSERT_TRUE(threeds::saveFile(show_.path() + "/data/s.3ds", threeds::buildScene(scene)));

    ASSERT_EQ(run("@loadimage a.png @loadimage b.png alpha b_a.png @loadscene s.3ds"), S_OK) << boxTexts().size();
    std::vector<std::string> names;
    for (const ImageEntry* entry : engine->images.entries) names.push_back(entry->name + (entry->hasAlpha ? "+a" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"a.png", "b.png+a", "PANEL.PNG", "glass.png+a"}));
    EXPECT_EQ(engine->services.images, &engine->images);
    EXPECT_EQ(engine->services.scenes, &engine->scenes);
    EXPECT_EQ(engine->services.device, engine->device);
}

TEST_F(EngineImages, MissingImagesAreNamedInTheReport) {
    writePng(show_.path() + "/data/b.png", 8, 8, [](int, int) { return 0u; });
    EXPECT_NE(run("@loadimage b.png alpha none.png"), S_OK);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Couldn't load b.png or none.png"}));
    EXPECT_TRUE(engine->images.entries.empty());  // released when the device went

    reports.clear();
    EXPECT_NE(run("@loadimage nothing.jpg"), S_OK);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Couldn't load nothing.jpg"}));
}
