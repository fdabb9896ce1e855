// The overlay font on a device double: texture size and scale, glyph layout, texel conversion,
// the recorded states, batching, line breaks, skipped bytes, state restoration and release.
#include "font/OverlayFont.h"

#include "platform/text/GlyphRasterizer.h"
#include "support/RecordingDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace quorvel {
namespace {

using testing::DeviceState;
using testing::RecordingDevice;
using testing::RecordingTexture;
using Texts = std::vector<std::string>;

// The glyph rectangle of character c in texture pixels.
struct PixelRect {
    int left, top, right, bottom;
};
PixelRect pixelRect(const OverlayFont& font, unsigned char c) {
    const float* r = font.texCoords[c - 32];
    auto px = [](float v, DWORD size) { return static_cast<int>(std::lround(v * static_cast<float>(size))); };
    return {px(r[0], font.texWidth), px(r[1], font.texHeight), px(r[2], font.texWidth), px(r[3], font.texHeight)};
}

class OverlayFontTest : public ::testing::Test {
protected:
    OverlayFontTest() {
        // Texture rows padded and filled with a marker: texels written at the wrong pitch, or not
        // at all, show up.
        device->textureRowPadding = 64;
        device->textureFill = 0xAB;
    }
    void TearDown() override { EXPECT_EQ(device->Release(), 0u) << "the font left references behind"; }

    // A font ready to draw: texture, buffer and state blocks made.
    void ready(OverlayFont& font) {
        ASSERT_EQ(font.createTexture(device), D3D_OK);
        ASSERT_EQ(font.createBuffers(), D3D_OK);
    }
    // The vertices of the draw-th draw call.
    std::vector<OverlayFont::Vertex> drawn(size_t draw) const {
        return device->draws().at(draw).vertices<OverlayFont::Vertex>();
    }
    RecordingDevice* device = new RecordingDevice();
};

TEST_F(OverlayFontTest, TextureSizeFollowsTheHeight) {
    const std::pair<DWORD, DWORD> sizes[] = {{10, 256}, {20, 256}, {21, 512}, {40, 512}, {41, 1024}};
    for (const auto& [height, size] : sizes) {
        SCOPED_TRACE(height);
        OverlayFont font("Arial", height, 0);
        device->clearCalls();
        ASSERT_EQ(font.createTexture(device), D3D_OK);
        EXPECT_EQ(font.texWidth, size);
        EXPECT_EQ(font.texHeight, size);
        EXPECT_EQ(font.textScale, 1.0f);
        const std::string side = std::to_string(size);
        EXPECT_EQ(device->callTexts("CreateTexture"),
                  Texts{"CreateTexture(" + side + ", " + side + ", 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED)"});
        font.release();
        EXPECT_EQ(device->liveResources(), 0);
    }
}

TEST_F(OverlayFontTest, SmallDeviceScalesGlyphsDownAndDrawsThemStretched) {
    device->caps.MaxTextureWidth = device->caps.MaxTextureHeight = 256;
    OverlayFont font("Arial", 30, 0);
    ready(font);
    EXPECT_EQ(font.texWidth, 256u);
    EXPECT_EQ(font.texHeight, 256u);
    EXPECT_EQ(font.textScale, 0.5f);
    // Rasterised for 48 logical pixels per inch: a 30-point font is 20 pixels high, not 40.
    const auto reference = text::GlyphRasterizer::create({"Arial", -20, false, false});
    ASSERT_TRUE(reference);
    const PixelRect m = pixelRect(font, 'M');
    EXPECT_EQ(m.right - m.left, reference->measure('M').width);
    EXPECT_EQ(m.bottom - m.top, reference->cellHeight());

    ASSERT_EQ(font.drawString(10, 20, 0xFFFFFFFF, "M", 0), D3D_OK);
    ASSERT_EQ(device->draws().size(), 1u);
    const auto v = drawn(0);
    EXPECT_FLOAT_EQ(v[2].x - v[0].x, 2.0f * static_cast<float>(m.right - m.left));
    EXPECT_FLOAT_EQ(v[0].y - v[1].y, 2.0f * static_cast<float>(m.bottom - m.top));
    font.release();
}

TEST_F(OverlayFontTest, GlyphsAreLaidOutInRowsWithOnePixelGaps) {
    for (const DWORD height : {10u, 40u, 60u}) {
        SCOPED_TRACE(height);
        OverlayFont font("Arial", height, 0);
        ASSERT_EQ(font.createTexture(device), D3D_OK);
        const auto reference = text::GlyphRasterizer::create(
            {"Arial", -static_cast<int>(std::lround(height * 96.0 / 72.0)), false, false});
        ASSERT_TRUE(reference);
        int x = 0, y = 0, rows = 1;
        for (unsigned c = 32; c < 127; ++c) {
            const text::TextExtent extent = reference->measure(static_cast<unsigned char>(c));
            if (x + extent.width + 1 > static_cast<int>(font.texWidth)) {
                x = 0;
                y += extent.height + 1;
                ++rows;
            }
            const PixelRect r = pixelRect(font, static_cast<unsigned char>(c));
            EXPECT_EQ(r.left, x) << c;
            EXPECT_EQ(r.top, y) << c;
            EXPECT_EQ(r.right, x + extent.width) << c;
            EXPECT_EQ(r.bottom, y + extent.height) << c;
            x += extent.width + 1;
        }
        EXPECT_GT(rows, 1);
        EXPECT_EQ(font.texCoords[95][0], 0.0f);
        EXPECT_EQ(font.texCoords[95][3], 0.0f);
        font.release();
    }
}

TEST_F(OverlayFontTest, TexelsAreWhiteWithCoverageAlpha) {
    OverlayFont font("Arial", 10, 0);
    ASSERT_EQ(font.createTexture(device), D3D_OK);
    const std::vector<std::uint16_t> texels = static_cast<RecordingTexture*>(font.texture)->texels<std::uint16_t>(0);
    ASSERT_EQ(texels.size(), 256u * 256u);
    int opaque = 0, partial = 0;
    for (const std::uint16_t t : texels) {
        // Either empty or white with some alpha; no marker left, none of the rows' padding read.
        ASSERT_TRUE(t == 0 || (t & 0x0FFF) == 0x0FFF) << std::hex << t;
        if ((t >> 12) == 0xF) ++opaque;
        else if (t != 0) ++partial;
    }
    EXPECT_GT(opaque, 100);
    EXPECT_GT(partial, 100);
    auto inkIn = [&](unsigned char c) {
        const PixelRect r = pixelRect(font, c);
        int ink = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ink += texels[static_cast<size_t>(y) * 256 + x] != 0;
        return ink;
    };
    EXPECT_EQ(inkIn(' '), 0);
    EXPECT_GT(inkIn('.'), 0);
    EXPECT_GT(inkIn('#'), inkIn('.'));
    // Below the last row nothing is drawn.
    const PixelRect last = pixelRect(font, '~');
    for (size_t i = static_cast<size_t>(last.bottom + 1) * 256; i < texels.size(); ++i) ASSERT_EQ(texels[i], 0);
    font.release();
}

TEST_F(OverlayFontTest, BuffersAndStateBlocksAreMadeAndReleased) {
    OverlayFont font("Arial", 10, 0);
    ready(font);
    EXPECT_EQ(device->callTexts("CreateVertexBuffer"),
              Texts{"CreateVertexBuffer(8400, D3DUSAGE_WRITEONLY|D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT)"});
    ASSERT_NE(font.savedStateBlock, 0u);
    ASSERT_NE(font.drawingStateBlock, 0u);
    EXPECT_NE(font.savedStateBlock, font.drawingStateBlock);
    // Both blocks hold the same states: the texture, 16 render states and 13 stage states.
    ASSERT_NE(device->stateBlock(font.drawingStateBlock), nullptr);
    ASSERT_NE(device->stateBlock(font.savedStateBlock), nullptr);
    const Texts held = device->stateBlock(font.drawingStateBlock)->texts();
    EXPECT_EQ(held, device->stateBlock(font.savedStateBlock)->texts());
    EXPECT_EQ(held.size(), 30u);
    EXPECT_EQ(device->stateBlockCount(), 2u);
    EXPECT_EQ(device->liveResources(), 2);

    // A device reset: buffers and blocks go and come back; the texture stays.
    font.releaseBuffers();
    EXPECT_EQ(font.vertexBuffer, nullptr);
    EXPECT_EQ(font.savedStateBlock, 0u);
    EXPECT_EQ(font.drawingStateBlock, 0u);
    EXPECT_EQ(device->stateBlockCount(), 0u);
    EXPECT_EQ(device->liveResources(), 1);
    EXPECT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "lost", 0), E_FAIL);
    ASSERT_EQ(font.createBuffers(), D3D_OK);
    EXPECT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "back", 0), D3D_OK);

    font.release();
    EXPECT_EQ(font.device, nullptr);
    EXPECT_EQ(font.texture, nullptr);
    EXPECT_EQ(device->liveResources(), 0);
    EXPECT_EQ(device->stateBlockCount(), 0u);
    EXPECT_EQ(font.release(), D3D_OK);
    EXPECT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "gone", 0), E_FAIL);
}

TEST_F(OverlayFontTest, CreationFailuresAreReturned) {
    OverlayFont font("Arial", 10, 0);
    device->fail("CreateTexture", D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(font.createTexture(device), D3DERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(font.createTexture(device), D3D_OK);
    device->fail("CreateVertexBuffer", D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(font.createBuffers(), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(device->stateBlockCount(), 0u);
    EXPECT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "x", 0), E_FAIL);
    font.release();
    EXPECT_EQ(device->liveResources(), 0);

    OverlayFont noDevice("Arial", 10, 0);
    EXPECT_EQ(noDevice.createBuffers(), E_FAIL);
    EXPECT_EQ(noDevice.drawString(0, 0, 0xFFFFFFFF, "x", 0), E_FAIL);
}

TEST_F(OverlayFontTest, ConstructionKeepsNameHeightAndFlags) {
    const std::string longName(100, 'n');
    OverlayFont font(longName.c_str(), 12, OverlayFont::StyleBold | OverlayFont::StyleItalic);
    EXPECT_EQ(std::string(font.fontName), longName.substr(0, 79));
    EXPECT_EQ(font.height, 12u);
    EXPECT_EQ(font.flags, 3u);
    EXPECT_EQ(font.device, nullptr);
    EXPECT_EQ(font.texture, nullptr);
    EXPECT_EQ(font.vertexBuffer, nullptr);
    EXPECT_EQ(font.savedStateBlock, 0u);
    // An unknown face still gives a font (the closest installed one), as bold and italic do.
    ASSERT_EQ(font.createTexture(device), D3D_OK);
    font.release();
}

TEST_F(OverlayFontTest, QuadsAreScreenAlignedAndFollowEachOther) {
    OverlayFont font("Arial", 10, 0);
    ready(font);
    ASSERT_EQ(font.drawString(2, 14, 0x80FF2040, "Ab", 0), D3D_OK);
    ASSERT_EQ(device->draws().size(), 1u);
    const auto& draw = device->draws()[0];
    EXPECT_EQ(draw.call.text, "DrawPrimitive(D3DPT_TRIANGLELIST, 0, 4)");
    EXPECT_EQ(draw.state.fvf, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(draw.state.stride, 28u);
    const auto vertices = drawn(0);
    const PixelRect a = pixelRect(font, 'A'), b = pixelRect(font, 'b');
    const float wa = static_cast<float>(a.right - a.left), h = static_cast<float>(a.bottom - a.top);
    const float* ta = font.texCoords['A' - 32];
    const OverlayFont::Vertex expected[6] = {
        {1.5f, 14 + h - 0.5f, 0.9f, 1.0f, 0x80FF2040, ta[0], ta[3]},
        {1.5f, 13.5f, 0.9f, 1.0f, 0x80FF2040, ta[0], ta[1]},
        {1.5f + wa, 14 + h - 0.5f, 0.9f, 1.0f, 0x80FF2040, ta[2], ta[3]},
        {1.5f + wa, 13.5f, 0.9f, 1.0f, 0x80FF2040, ta[2], ta[1]},
        {1.5f + wa, 14 + h - 0.5f, 0.9f, 1.0f, 0x80FF2040, ta[2], ta[3]},
        {1.5f, 13.5f, 0.9f, 1.0f, 0x80FF2040, ta[0], ta[1]},
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const auto& v = vertices[i];
        EXPECT_FLOAT_EQ(v.x, expected[i].x);
        EXPECT_FLOAT_EQ(v.y, expected[i].y);
        EXPECT_EQ(v.z, 0.9f);
        EXPECT_EQ(v.rhw, 1.0f);
        EXPECT_EQ(v.colour, 0x80FF2040u);
        EXPECT_EQ(v.u, expected[i].u);
        EXPECT_EQ(v.v, expected[i].v);
    }
    // The second glyph starts where the first ends, without the texture's gap.
    EXPECT_FLOAT_EQ(vertices[6].x, 1.5f + wa);
    EXPECT_FLOAT_EQ(vertices[8].x, 1.5f + wa + static_cast<float>(b.right - b.left));
    font.release();
}

TEST_F(OverlayFontTest, LongTextIsDrawnInBatchesOfFiftyGlyphs) {
    OverlayFont font("Arial", 10, 0);
    ready(font);
    std::string text;
    for (int i = 0; i < 60; ++i) text += static_cast<char>('A' + i % 26);
    ASSERT_EQ(font.drawString(0, 0, 0xFFFFFFFF, text.c_str(), 0), D3D_OK);
    ASSERT_EQ(device->draws().size(), 2u);
    EXPECT_EQ(device->draws()[0].primitiveCount, 100u);
    EXPECT_EQ(device->draws()[1].primitiveCount, 20u);
    // The second batch continues along the line: its first glyph is the 51st character.
    float x = -0.5f;
    for (int i = 0; i < 50; ++i) {
        const PixelRect r = pixelRect(font, static_cast<unsigned char>(text[i]));
        x += static_cast<float>(r.right - r.left);
    }
    EXPECT_FLOAT_EQ(drawn(1)[0].x, x);
    EXPECT_EQ(drawn(1)[1].u, font.texCoords[text[50] - 32][0]);

    device->clearCalls();
    ASSERT_EQ(font.drawString(0, 0, 0xFFFFFFFF, text.substr(0, 50).c_str(), 0), D3D_OK);
    ASSERT_EQ(device->draws().size(), 1u);
    EXPECT_EQ(device->draws()[0].primitiveCount, 100u);
    device->clearCalls();
    ASSERT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "", 0), D3D_OK);
    EXPECT_TRUE(device->draws().empty());
    font.release();
}

TEST_F(OverlayFontTest, NewlineReturnsToTheStartOneLineLower) {
    OverlayFont font("Arial", 10, 0);
    ready(font);
    ASSERT_EQ(font.drawString(7, 30, 0xFFFFFFFF, "AB\nC\n\nD", 0), D3D_OK);
    ASSERT_EQ(device->draws().size(), 1u);
    const auto v = drawn(0);
    ASSERT_EQ(v.size(), 24u);
    const PixelRect space = pixelRect(font, ' ');
    const float line = static_cast<float>(space.bottom - space.top);
    EXPECT_FLOAT_EQ(v[12 + 1].x, 6.5f);  // C: back at the start
    EXPECT_FLOAT_EQ(v[12 + 1].y, 30 + line - 0.5f);
    EXPECT_FLOAT_EQ(v[18 + 1].x, 6.5f);  // D: two lines further down
    EXPECT_FLOAT_EQ(v[18 + 1].y, 30 + 3 * line - 0.5f);
    font.release();
}

TEST_F(OverlayFontTest, ControlAndHighBytesDrawNothingAndDoNotAdvance) {
    OverlayFont font("Arial", 10, 0);
    ready(font);
    ASSERT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "A\tB\x01\r\x7f\x80\xff" "C", 0), D3D_OK);
    ASSERT_EQ(device->draws().size(), 1u);
    const auto v = drawn(0);
    // A, B and C side by side; character 127 has an empty rectangle and draws a zero-width quad.
    ASSERT_EQ(v.size(), 24u);
    const PixelRect a = pixelRect(font, 'A'), b = pixelRect(font, 'B');
    EXPECT_FLOAT_EQ(v[6 + 1].x, -0.5f + static_cast<float>(a.right - a.left));
    EXPECT_FLOAT_EQ(v[18 + 1].x, -0.5f + static_cast<float>(a.right - a.left + b.right - b.left));
    EXPECT_EQ(v[18 + 1].u, font.texCoords['C' - 32][0]);
    font.release();
}

TEST_F(OverlayFontTest, ApplicationStatesAreRestoredAfterDrawing) {
    OverlayFont font("Arial", 10, 0);
    ready(font);
    // The application's own states, different from the text states.
    auto* appTexture = reinterpret_cast<IDirect3DBaseTexture8*>(0x1000);
    device->SetTexture(0, appTexture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    const DeviceState before = device->state();

    ASSERT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "Stats", 0), D3D_OK);
    ASSERT_EQ(device->draws().size(), 1u);
    const DeviceState& during = device->draws()[0].state;
    EXPECT_EQ(during.texture(0), font.texture);
    EXPECT_EQ(during.renderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(during.renderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
    EXPECT_EQ(during.renderState(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(during.renderState(D3DRS_ALPHAREF), 8u);
    EXPECT_EQ(during.renderState(D3DRS_ALPHAFUNC), D3DCMP_GREATEREQUAL);
    EXPECT_EQ(during.renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(during.renderState(D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(during.renderState(D3DRS_FOGENABLE), 0u);
    EXPECT_EQ(during.stageState(0, D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(during.stageState(0, D3DTSS_MINFILTER), D3DTEXF_POINT);
    EXPECT_EQ(during.stageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
    EXPECT_EQ(testing::stateDifferences(before, device->state()), "");

    // Filtered text samples linearly, and the application's filters come back afterwards too.
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    const DeviceState beforeFiltered = device->state();
    ASSERT_EQ(font.drawString(0, 0, 0xFFFFFFFF, "Stats", OverlayFont::StyleFiltered), D3D_OK);
    ASSERT_EQ(device->draws().size(), 2u);
    EXPECT_EQ(device->draws()[1].state.stageState(0, D3DTSS_MINFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(device->draws()[1].state.stageState(0, D3DTSS_MAGFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(testing::stateDifferences(beforeFiltered, device->state()), "");
    font.release();
}

}  // namespace
}  // namespace quorvel
