// Device loss with each flat effect live: the engine stops live effects before the device is
// reset and starts them again afterwards, and a recreated device brings Init again. The GL
// device refuses a reset while default-pool objects are alive, so an effect that kept one
// across the loss fails here.
#include "FlatDeviceTest.h"

using namespace flattest;

namespace {

class FlatDeviceLoss : public FlatDeviceTest {
protected:
    void SetUp() override {
        FlatDeviceTest::SetUp();
        createSized(320, 240);
        addImage("white.png", 8, 8, [](int, int) { return Rgba{255, 255, 255, 255}; });
        picture = live<PictureEffect>("time 0.000000 { image white.png x 0 y 0 width 320 height 240 }");
        fade = live<FadeEffect>("time 0.000000 { colour 2147483903 }");  // half-transparent blue
        text = live<TextEffect>("time 0.000000 { size 60 x 400 y 300 colour 4294901760 text WW }");
    }
    void TearDown() override {
        picture.reset(), fade.reset(), text.reset();
        FlatDeviceTest::TearDown();
    }

    void expectDrawn() {
        drawFrame(0xFF000000u, {picture.get(), fade.get(), text.get()});
        EXPECT_GT(pixel(40, 40).r, 120) << "picture under the fade";
        EXPECT_GT(pixel(40, 40).b, 250) << "fade";
        EXPECT_GT(countPixels(255, 0, 0, 10), 50) << "text";
    }
    void stopAll() {
        for (Effect* effect : {static_cast<Effect*>(picture.get()), static_cast<Effect*>(fade.get()),
                               static_cast<Effect*>(text.get())})
            EXPECT_EQ(effect->Stop(), 0);
    }
    void startAll() {
        for (Effect* effect : {static_cast<Effect*>(picture.get()), static_cast<Effect*>(fade.get()),
                               static_cast<Effect*>(text.get())})
            EXPECT_EQ(effect->Start(&services_), 0);
    }

    EffectPtr<PictureEffect> picture;
    EffectPtr<FadeEffect> fade;
    EffectPtr<TextEffect> text;
};

}  // namespace

TEST_F(FlatDeviceLoss, ResetSucceedsAfterStopAndEveryEffectDrawsAgain) {
    expectDrawn();
    EXPECT_EQ(device_->Reset(&params_), D3DERR_INVALIDCALL) << "live effects hold default-pool buffers";
    stopAll();
    ASSERT_EQ(device_->Reset(&params_), D3D_OK);
    startAll();
    expectDrawn();
}

TEST_F(FlatDeviceLoss, ResetToAnotherSizeRedrawsTheTextForTheNewViewport) {
    const int before = text->image().height;
    stopAll();
    params_.BackBufferWidth = 640;
    params_.BackBufferHeight = 480;
    ASSERT_EQ(device_->Reset(&params_), D3D_OK);
    startAll();
    EXPECT_GT(text->image().height, before * 3 / 2) << "glyphs drawn at twice the pixel size";
    drawFrame(0xFF000000u, {picture.get(), fade.get(), text.get()});
    EXPECT_GT(pixel(20, 20).r, 120);
    EXPECT_NEAR(pixel(600, 20).b, 128, 3) << "the fade covers the larger viewport";
    EXPECT_LT(pixel(600, 20).r, 5) << "the picture keeps its virtual size: half the width";
    EXPECT_GT(countPixels(255, 0, 0, 10), 200);
}

TEST_F(FlatDeviceLoss, ANewDeviceBringsInitAgainAndStopWithoutStartIsHarmless) {
    stopAll();
    for (Effect* effect : {static_cast<Effect*>(picture.get()), static_cast<Effect*>(fade.get()),
                           static_cast<Effect*>(text.get())}) {
        EXPECT_EQ(effect->DestroyDeviceObjects(), 0);
        EXPECT_EQ(effect->Stop(), 0);
    }
    bank_.reset();
    ASSERT_EQ(device_->Release(), 0u) << "nothing of the effects keeps the device";
    device_ = nullptr;
    createSized(320, 240);
    addImage("white.png", 8, 8, [](int, int) { return Rgba{255, 255, 255, 255}; });
    for (Effect* effect : {static_cast<Effect*>(picture.get()), static_cast<Effect*>(fade.get()),
                           static_cast<Effect*>(text.get())})
        EXPECT_EQ(effect->Init(&services_), 0);
    startAll();
    expectDrawn();
}
