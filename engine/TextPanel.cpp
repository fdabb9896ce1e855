#include "engine/TextPanel.h"

#include <algorithm>

#include "font/OverlayFont.h"

namespace quorvel {
namespace {

constexpr float kPadding = 6.0f;
constexpr DWORD kBoxColour = 0xB0000000u;  // black, about 70% opaque

struct BoxVertex {
    float x, y, z, rhw;
    DWORD colour;
};
constexpr DWORD kBoxFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

void drawBox(IDirect3DDevice8* device, float left, float top, float right, float bottom) {
    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetVertexShader(kBoxFormat);
    // Pixel centres lie half a pixel in, as for the font's quads.
    const float x0 = left - 0.5f, y0 = top - 0.5f, x1 = right - 0.5f, y1 = bottom - 0.5f;
    const BoxVertex strip[4] = {{x0, y1, 0.0f, 1.0f, kBoxColour},
                                {x0, y0, 0.0f, 1.0f, kBoxColour},
                                {x1, y1, 0.0f, 1.0f, kBoxColour},
                                {x1, y0, 0.0f, 1.0f, kBoxColour}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(BoxVertex));
}

}  // namespace

void drawTextPanel(IDirect3DDevice8* device, OverlayFont& font, float x, float y,
                   const std::vector<std::string>& lines, DWORD colour) {
    if (device == nullptr || lines.empty()) return;
    float width = 0.0f;
    for (const std::string& line : lines) width = std::max(width, font.lineWidth(line.c_str()));
    const float lineHeight = font.lineHeight();

    // Everything the box and the font change is put back from a snapshot of the whole state;
    // a panel is drawn at most a few times a frame, and only while it is shown.
    DWORD saved = 0;
    if (FAILED(device->CreateStateBlock(D3DSBT_ALL, &saved))) return;
    drawBox(device, x, y, x + width + 2 * kPadding, y + lineHeight * static_cast<float>(lines.size()) + 2 * kPadding);
    float lineTop = y + kPadding;
    for (const std::string& line : lines) {
        font.drawString(x + kPadding, lineTop, colour, line.c_str(), 0);
        lineTop += lineHeight;
    }
    device->ApplyStateBlock(saved);
    device->DeleteStateBlock(saved);
}

}  // namespace quorvel
