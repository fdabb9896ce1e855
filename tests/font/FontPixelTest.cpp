// The statistics line drawn by the overlay font on the real GL device over a grey frame: every
// pixel must be the glyph texel it maps to, blended white over grey, and nothing may be drawn
// outside the text's cells. The picture is saved as font_total_time.png for looking at. Also the
// text panels drawn with the font (text_panel.png).
#include "font/OverlayFont.h"

#include "engine/TextPanel.h"

#include "gl/GlFixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

constexpr UINT kFrameWidth = 200;
constexpr UINT kFrameHeight = 40;

class FontPixelTest : public testing::GlDeviceTest {
protected:
    FontPixelTest() : GlDeviceTest(kFrameWidth, kFrameHeight) {}
};

TEST_F(FontPixelTest, StatisticsLineShowsTheGlyphTexelsWhiteOverGrey) {
    OverlayFont font("Arial", 10, 0);
    ASSERT_EQ(font.createTexture(device_), D3D_OK);
    ASSERT_EQ(font.createBuffers(), D3D_OK);
    // The glyph texels as the texture holds them.
    std::vector<std::uint16_t> texels(static_cast<size_t>(font.texWidth) * font.texHeight);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(font.texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (DWORD row = 0; row < font.texHeight; ++row)
        std::memcpy(&texels[row * font.texWidth], static_cast<BYTE*>(locked.pBits) + row * locked.Pitch,
                    font.texWidth * 2);
    font.texture->UnlockRect(0);

    const char* text = "Total time: 1.000000";
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF808080, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    ASSERT_EQ(font.drawString(2, 14, 0xFFFFFFFF, text, 0), D3D_OK);
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    capture();
    savePng("font_total_time.png");

    // Expected picture: grey, and in each character's cell its texels blended over the grey.
    std::vector<int> expected(static_cast<size_t>(kFrameWidth) * kFrameHeight, 0x80);
    int x = 2, litRows = 0, cellBottom = 0;
    for (const char* p = text; *p != 0; ++p) {
        const float* r = font.texCoords[*p - 32];
        const int left = static_cast<int>(std::lround(r[0] * font.texWidth));
        const int top = static_cast<int>(std::lround(r[1] * font.texHeight));
        const int w = static_cast<int>(std::lround((r[2] - r[0]) * font.texWidth));
        const int h = static_cast<int>(std::lround((r[3] - r[1]) * font.texHeight));
        cellBottom = 14 + h;
        for (int dy = 0; dy < h; ++dy)
            for (int dx = 0; dx < w; ++dx) {
                const int alpha = texels[static_cast<size_t>(top + dy) * font.texWidth + left + dx] >> 12;
                const double a = alpha * 17 / 255.0;
                expected[static_cast<size_t>(14 + dy) * kFrameWidth + x + dx] =
                    static_cast<int>(std::lround(255 * a + 0x80 * (1 - a)));
            }
        x += w;
    }
    EXPECT_GT(x, 100);  // about 120 pixels of text
    EXPECT_EQ(cellBottom, 14 + 15);

    int wrong = 0;
    for (UINT py = 0; py < kFrameHeight; ++py) {
        bool lit = false;
        for (UINT px = 0; px < kFrameWidth; ++px) {
            const testing::Rgba p = pixel(static_cast<int>(px), static_cast<int>(py));
            const int want = expected[static_cast<size_t>(py) * kFrameWidth + px];
            if (p.r != p.g || p.g != p.b || std::abs(p.r - want) > 2) {
                if (++wrong <= 10) ADD_FAILURE() << "pixel " << px << "," << py << " is " << p.r << " not " << want;
            }
            lit = lit || p.r > 0x90;
        }
        if (lit) {
            ++litRows;
            EXPECT_GE(py, 14u);
            EXPECT_LT(py, 29u);
        }
    }
    EXPECT_EQ(wrong, 0);
    // Capitals and digits of a 13-pixel font stand about nine rows high.
    EXPECT_GE(litRows, 8);
    font.release();
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// A text panel darkens its box, sized to the longest line, writes the lines in it, and leaves
// the states the picture was drawn with as they were.
class TextPanelPixelTest : public testing::GlDeviceTest {
protected:
    TextPanelPixelTest() : GlDeviceTest(200, 60) {}
};

TEST_F(TextPanelPixelTest, DarkBoxAroundTheLinesAndStatesPutBack) {
    OverlayFont font("Arial", 10, 0);
    ASSERT_EQ(font.createTexture(device_), D3D_OK);
    ASSERT_EQ(font.createBuffers(), D3D_OK);
    const std::vector<std::string> lines = {"Paused", "Layer 12: scene, 3.25 s"};
    const int right = 10 + static_cast<int>(std::lround(font.lineWidth(lines[1].c_str()))) + 12;
    const int bottom = 5 + static_cast<int>(std::lround(2 * font.lineHeight())) + 12;
    ASSERT_LT(right, 195);
    ASSERT_LT(bottom, 58);

    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetRenderState(D3DRS_ZENABLE, TRUE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device_->SetVertexShader(testing::kScreenFvf);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF808080, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    drawTextPanel(device_, font, 10, 5, lines, 0xFFFFFFFF);
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    capture();
    savePng("text_panel.png");

    DWORD value = 0;
    device_->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, FALSE);
    device_->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, TRUE);
    device_->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCULL_CW));
    device_->GetVertexShader(&value);
    EXPECT_EQ(value, testing::kScreenFvf);

    // Inside the box, in its margin: grey under translucent black. Outside: the grey untouched.
    EXPECT_NEAR(pixel(11, 6).r, 0x80 * 0x4F / 0xFF, 3);
    EXPECT_NEAR(pixel(right - 2, bottom - 2).r, 0x80 * 0x4F / 0xFF, 3);
    for (const auto& [x, y] : {std::pair{8, 6}, std::pair{right + 1, 6}, std::pair{11, bottom + 1}})
        EXPECT_EQ(pixel(x, y).r, 0x80) << x << "," << y;
    // The text is drawn over the box.
    int bright = 0;
    for (int y = 5; y < bottom; ++y)
        for (int x = 10; x < right; ++x) bright += pixel(x, y).r > 0xC0 ? 1 : 0;
    EXPECT_GT(bright, 40);
    font.release();
}

}  // namespace
}  // namespace quorvel
