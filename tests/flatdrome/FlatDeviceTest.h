// A GL device of a chosen size on SDL's offscreen driver with an image bank, for drawing the flat
// effects and reading back what they drew. Brings the three effect classes along.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "FlatTesting.h"
#include "engine/ImageBank.h"
#include "flatdrome/FadeEffect.h"
#include "flatdrome/PictureEffect.h"
#include "flatdrome/TextEffect.h"
#include "gl/GlFixture.h"
#include "plugin/Effect.h"
#include "support/TempDir.h"

namespace flattest {

using quorvel::flat::FadeEffect;
using quorvel::flat::PictureEffect;
using quorvel::flat::TextEffect;
using quorvel::testing::Rgba;

class FlatDeviceTest : public quorvel::testing::GlDeviceTest {
protected:
    void TearDown() override {
        bank_.reset();  // its textures go before the device
        GlDeviceTest::TearDown();
    }

    // A windowed device whose back buffer is width x height, in place of the fixture's own.
    void createSized(UINT width, UINT height) {
        if (device_) {
            device_->Release();
            device_ = nullptr;
        }
        D3DPRESENT_PARAMETERS p = windowedParameters(true);
        p.BackBufferWidth = width;
        p.BackBufferHeight = height;
        params_ = p;
        ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &p, &device_),
                  D3D_OK);
        bank_ = std::make_unique<ImageBank>();
        bank_->SetBasePath(dir_.path() + "/");
        ASSERT_EQ(bank_->SetDevice(device_), 0);
        services_.device = device_;
        services_.images = bank_.get();
    }

    // Writes an RGBA picture given by a colour function and loads it into the bank.
    template <class ColourAt>
    void addImage(const std::string& name, int width, int height, ColourAt colourAt) {
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgba c = colourAt(x, y);
                std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
                p[0] = static_cast<std::uint8_t>(c.r), p[1] = static_cast<std::uint8_t>(c.g);
                p[2] = static_cast<std::uint8_t>(c.b), p[3] = 255;
            }
        ASSERT_TRUE(quorvel::testing::writeImageFile(dir_.path() + "/" + name, width, height, rgba));
        ASSERT_NE(bank_->LoadImage(name.c_str(), false), nullptr) << name;
    }

    // Clears to background, renders the live effects in order, and reads the picture back.
    void drawFrame(D3DCOLOR background, std::initializer_list<Effect*> effects) {
        ASSERT_EQ(device_->BeginScene(), D3D_OK);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
        for (Effect* effect : effects) effect->Render(&services_);
        device_->EndScene();
        capture();
    }

    // Parses, initialises and starts an effect as the engine does when its event becomes live.
    template <class T>
    EffectPtr<T> live(const std::string& text, float seconds = 0.0f) {
        EffectPtr<T> effect = parsed<T>(text);
        EXPECT_EQ(effect->Init(&services_), 0) << text;
        EXPECT_EQ(effect->Start(&services_), 0) << text;
        if (seconds > 0.0f) effect->Update(seconds);
        return effect;
    }

    D3DPRESENT_PARAMETERS params_{};
    EngineServices services_{};
    std::unique_ptr<ImageBank> bank_;
    quorvel::testing::TempDir dir_;
};

}  // namespace flattest
