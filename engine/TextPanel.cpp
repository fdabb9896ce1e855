#include "engine/TextPanel.h"

#include <algorithm>

#include "font/OverlayFont.h"

namespace quorvel {
namespace {

constexpr float kMargin = 6.0f;
constexpr DWORD kBoxColour = 0xC0101018u;  // dark, three quarters opaque

struct BoxVertex {
    float x, y, z, rhw;
    DWORD colour;
};

// Width in pixels of text drawn with the font (the characters it draws; others take no room).
float textWidth(const OverlayFont& font, const std::string& text) {
    float width = 0.0f;
    for (const unsigned char c : text) {
        if (c < 32 || c >= 128) continue;
        const float* rect = font.texCoords[c - 32];
        width += (rect[2] - rect[0]) * static_cast<float>(font.texWidth) / font.textScale;
    }
    return width;
}

float lineHeight(const OverlayFont& font) {
    const float* space = font.texCoords[0];
    return (space[3] - space[1]) * static_cast<float>(font.texHeight) / font.textScale;
}

void drawBox(IDirect3DDevice8* device, float left, float top, float right, float bottom) {
    DWORD block = 0;
    if (FAILED(device->CreateStateBlock(D3DSBT_ALL, &block))) return;
    device->SetTexture(0, nullptr);
    device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    const BoxVertex quad[4] = {{left, top, 0.0f, 1.0f, kBoxColour},
                               {right, top, 0.0f, 1.0f, kBoxColour},
                               {left, bottom, 0.0f, 1.0f, kBoxColour},
                               {right, bottom, 0.0f, 1.0f, kBoxColour}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(BoxVertex));
    device->ApplyStateBlock(block);
    device->DeleteStateBlock(block);
}

}  // namespace

void drawTextPanel(IDirect3DDevice8* device, OverlayFont& font, float x, float y,
                   const std::vector<std::string>& lines, DWORD colour) {
    if (!device || lines.empty() || font.texWidth == 0) return;
    float width = 0.0f;
    for (const std::string& line : lines) width = std::max(width, textWidth(font, line));
    const float height = lineHeight(font);
    drawBox(device, x, y, x + width + 2.0f * kMargin, y + height * static_cast<float>(lines.size()) + 2.0f * kMargin);
    for (std::size_t i = 0; i < lines.size(); ++i)
        font.drawString(x + kMargin, y + kMargin + height * static_cast<float>(i), colour, lines[i].c_str(), 0);
}

}  // namespace quorvel
