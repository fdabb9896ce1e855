// The flat effects drawn through the real Direct3D layer over OpenGL: where the pixels land, and
// how they mix with what was drawn before.
#include <algorithm>
#include <cstdlib>

#include "FlatDeviceTest.h"
#include "support/CapturedReports.h"

using namespace flattest;

namespace {

constexpr D3DCOLOR Black = 0xFF000000u;
constexpr D3DCOLOR Red = 0xFFFF0000u;

// Neighbouring texels far apart in colour, so a copy shifted or blurred by a pixel is caught.
Rgba pattern(int x, int y) { return {(x * 53) & 255, (y * 97) & 255, ((x + y) * 29) & 255, 255}; }

bool near(const Rgba& a, const Rgba& b, int tolerance = 2) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

}  // namespace

TEST_F(FlatDeviceTest, PictureMapsTexelToPixelOnA640x480Viewport) {
    createSized(640, 480);
    addImage("pattern.png", 256, 256, pattern);
    auto picture = live<PictureEffect>("time 0.000000 { image pattern.png x 64 y 32 }");
    drawFrame(Black, {picture.get()});
    savePng("flat_picture_640.png");
    int wrong = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (!near(pixel(64 + x, 32 + y), pattern(x, y), 1)) ++wrong;
    EXPECT_EQ(wrong, 0);
    // Nothing outside the quad: the rows and columns around it keep the background.
    for (int i = 0; i < 256; ++i) {
        EXPECT_TRUE(near(pixel(63, 32 + i), {0, 0, 0, 255})) << i;
        EXPECT_TRUE(near(pixel(64 + 256, 32 + i), {0, 0, 0, 255})) << i;
        EXPECT_TRUE(near(pixel(64 + i, 31), {0, 0, 0, 255})) << i;
        EXPECT_TRUE(near(pixel(64 + i, 32 + 256), {0, 0, 0, 255})) << i;
    }
}

TEST_F(FlatDeviceTest, PictureScalesWithTheViewportAndANonPowerOfTwoImageFillsIt) {
    // 640 x 480 is no power of two; the loader scales the texture, the picture keeps the file's
    // size in the virtual screen, which on a 320 x 240 device is every pixel.
    createSized(320, 240);
    addImage("quarters.png", 640, 480, [](int x, int y) {
        return Rgba{x < 320 ? 255 : 0, y < 240 ? 255 : 0, 255, 255};
    });
    auto picture = live<PictureEffect>("time 0.000000 { image quarters.png }");
    drawFrame(Black, {picture.get()});
    EXPECT_TRUE(near(pixel(0, 0), {255, 255, 255, 255}));
    EXPECT_TRUE(near(pixel(319, 0), {0, 255, 255, 255}));
    EXPECT_TRUE(near(pixel(0, 239), {255, 0, 255, 255}));
    EXPECT_TRUE(near(pixel(319, 239), {0, 0, 255, 255}));
    EXPECT_TRUE(near(pixel(100, 100), {255, 255, 255, 255}));
    EXPECT_TRUE(near(pixel(200, 150), {0, 0, 255, 255}));
}

TEST_F(FlatDeviceTest, PicturePlacementIsScaledFromTheVirtualScreen) {
    createSized(320, 240);
    addImage("white.png", 16, 16, [](int, int) { return Rgba{255, 255, 255, 255}; });
    auto picture = live<PictureEffect>("time 0.000000 { image white.png x 64 y 32 width 256 height 256 }");
    drawFrame(Black, {picture.get()});
    savePng("flat_picture_320.png");
    // Virtual (64, 32) to (320, 288) is pixels (32, 16) to (160, 144).
    EXPECT_EQ(countPixels(255, 255, 255), 128 * 128);
    EXPECT_TRUE(near(pixel(32, 16), {255, 255, 255, 255}));
    EXPECT_TRUE(near(pixel(159, 143), {255, 255, 255, 255}));
    EXPECT_TRUE(near(pixel(31, 16), {0, 0, 0, 255}));
    EXPECT_TRUE(near(pixel(160, 143), {0, 0, 0, 255}));
}

TEST_F(FlatDeviceTest, PictureAlphaAdditiveAndTintMixWithWhatIsBelow) {
    createSized(640, 480);
    addImage("blue.png", 8, 8, [](int, int) { return Rgba{0, 0, 255, 255}; });
    addImage("white.png", 8, 8, [](int, int) { return Rgba{255, 255, 255, 255}; });
    auto half = live<PictureEffect>("time 0.000000 { image blue.png x 0 y 0 width 100 height 100 alpha 0.5 }");
    auto added = live<PictureEffect>("time 0.000000 { image white.png x 200 y 0 width 100 height 100 tint 4278255360 "
                                     "additive }");
    auto tinted = live<PictureEffect>("time 0.000000 { image white.png x 400 y 0 width 100 height 100 tint 4278190335 }");
    drawFrame(Red, {half.get(), added.get(), tinted.get()});
    EXPECT_TRUE(near(pixel(50, 50), {128, 0, 128, 255}, 3)) << "half blue over red";
    EXPECT_TRUE(near(pixel(250, 50), {255, 255, 0, 255})) << "green added to red";
    EXPECT_TRUE(near(pixel(450, 50), {0, 0, 255, 255})) << "white tinted blue, opaque";
    EXPECT_TRUE(near(pixel(150, 50), {255, 0, 0, 255}));
}

TEST_F(FlatDeviceTest, PictureRotationTurnsTheImageAboutItsCentre) {
    createSized(640, 480);
    addImage("halves.png", 64, 64, [](int x, int) { return x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255}; });
    auto turned = live<PictureEffect>("time 0.000000 { image halves.png x 100 y 100 width 200 height 200 rotation 180 }");
    drawFrame(Black, {turned.get()});
    EXPECT_TRUE(near(pixel(120, 200), {0, 0, 255, 255}));
    EXPECT_TRUE(near(pixel(280, 200), {255, 0, 0, 255}));
}

TEST_F(FlatDeviceTest, PictureDrawsOverNearerDepthAndLeavesTheDepthTestAsItFoundIt) {
    createSized(640, 480);
    addImage("white.png", 8, 8, [](int, int) { return Rgba{255, 255, 255, 255}; });
    auto picture = live<PictureEffect>("time 0.000000 { image white.png fullscreen }");
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, Black, 0.0f, 0);  // everything "near"
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    picture->Render(&services_);
    DWORD zEnable = 0, blend = 1;
    device_->GetRenderState(D3DRS_ZENABLE, &zEnable);
    device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    device_->EndScene();
    capture();
    EXPECT_EQ(countPixels(255, 255, 255), 640 * 480);
    EXPECT_EQ(zEnable, static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(blend, static_cast<DWORD>(FALSE));
}

TEST_F(FlatDeviceTest, PictureOfAnImageNotLoadedFailsInInit) {
    createSized(64, 64);
    quorvel::testing::CapturedReports reports;
    auto picture = parsed<PictureEffect>("time 0.000000 { image missing.png }");
    EXPECT_EQ(picture->Init(&services_), E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "missing.png not loaded. You need to load the image before use.");
}

TEST_F(FlatDeviceTest, FadeIsHalfWayAtItsMidpointOverTheWholeViewport) {
    createSized(320, 240);
    auto fade = live<FadeEffect>("time 0.000000 { colour 4278190080 alpha 0 } time 1.000000 { alpha 1 }", 0.5f);
    drawFrame(0xFFFFFFFFu, {fade.get()});
    EXPECT_TRUE(near(pixel(0, 0), {127, 127, 127, 255}, 2));
    EXPECT_TRUE(near(pixel(319, 239), {127, 127, 127, 255}, 2));
    EXPECT_EQ(countPixels(127, 127, 127, 2), 320 * 240);
}

TEST_F(FlatDeviceTest, TextIsDrawnWhereItIsAsked) {
    createSized(640, 480);
    auto left = live<TextEffect>("time 0.000000 { size 40 x 100 y 100 colour 4294901760 text HHHH }");
    auto centred = live<TextEffect>("time 0.000000 { size 40 x 320 y 300 align centre colour 4278255360 text HHHH }");
    drawFrame(Black, {left.get(), centred.get()});
    savePng("flat_text.png");
    // Bounding boxes of the red and the green letters.
    int box[2][4] = {{640, 480, -1, -1}, {640, 480, -1, -1}};
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const Rgba p = pixel(x, y);
            const int which = p.r > 128 ? 0 : p.g > 128 ? 1 : -1;
            if (which < 0) continue;
            int* b = box[which];
            b[0] = std::min(b[0], x), b[1] = std::min(b[1], y), b[2] = std::max(b[2], x), b[3] = std::max(b[3], y);
        }
    // Red: starts at x 100 (an H has a small side bearing), its cell's top at y 100, 40 pixels high.
    EXPECT_GE(box[0][0], 100);
    EXPECT_LE(box[0][0], 106);
    EXPECT_GE(box[0][1], 100);
    EXPECT_LE(box[0][3], 145);
    EXPECT_GT(box[0][2] - box[0][0], 80) << "four letters of about 29 pixels";
    // Green: centred on x 320.
    EXPECT_NEAR((box[1][0] + box[1][2]) / 2.0, 320.0, 3.0);
    EXPECT_GE(box[1][1], 300);
    EXPECT_LE(box[1][3], 345);
}

TEST_F(FlatDeviceTest, TextLinesStackOneCellApartAndScaleWithTheViewport) {
    createSized(320, 240);
    auto text = live<TextEffect>("time 0.000000 { size 40 x 0 y 0 text I | I }");
    ASSERT_GT(text->image().height, 0) << "no font found";
    drawFrame(Black, {text.get()});
    // Size 40 on a viewport half as high: 20-pixel characters, two lines in about 46 pixels.
    int top = 240, bottom = -1;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 40; ++x)
            if (pixel(x, y).r > 128) top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_GE(top, 0);
    EXPECT_GT(bottom - top, 30);
    EXPECT_LT(bottom, 50);
    EXPECT_EQ(text->image().height % 2, 0);
}
