#include "font/OverlayFont.h"

#include "platform/text/GlyphRasterizer.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace quorvel {
namespace {

// Logical pixels per inch of the screen the font is measured for.
constexpr int kLogicalPixelsPerInch = 96;

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0.
int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c > 0 ? c : -c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c > 0 ? c : -c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace

OverlayFont::OverlayFont(const char* name, DWORD heightInPoints, DWORD styleFlags)
    : height(heightInPoints), flags(styleFlags) {
    std::strncpy(fontName, name != nullptr ? name : "", sizeof(fontName) - 1);
    fontName[sizeof(fontName) - 1] = '\0';
}

HRESULT OverlayFont::createTexture(IDirect3DDevice8* newDevice) {
    device = newDevice;
    textScale = 1.0f;
    if (device == nullptr) return E_FAIL;

    // Bigger fonts need a bigger texture to hold all glyphs; a device that cannot hold it gets
    // its largest size and the glyphs are rasterised smaller and drawn stretched.
    texWidth = height > 40 ? 1024 : height > 20 ? 512 : 256;
    D3DCAPS8 caps{};
    if (SUCCEEDED(device->GetDeviceCaps(&caps)) && caps.MaxTextureWidth > 0 &&
        texWidth > caps.MaxTextureWidth) {
        textScale = static_cast<float>(caps.MaxTextureWidth) / static_cast<float>(texWidth);
        texWidth = caps.MaxTextureWidth;
    }
    texHeight = texWidth;

    const HRESULT hr = device->CreateTexture(texWidth, texHeight, 1, 0, D3DFMT_A4R4G4B4,
                                             D3DPOOL_MANAGED, &texture);
    if (FAILED(hr)) return hr;
    return rasteriseGlyphs();
}

HRESULT OverlayFont::rasteriseGlyphs() {
    const int pixelsPerInch =
        static_cast<int>(std::floor(static_cast<float>(kLogicalPixelsPerInch) * textScale));
    text::FontRequest request;
    request.face = fontName;
    request.height = -mulDiv(static_cast<int>(height), pixelsPerInch, 72);
    request.bold = (flags & StyleBold) != 0;
    request.italic = (flags & StyleItalic) != 0;
    const auto rasterizer = text::GlyphRasterizer::create(request);
    if (!rasterizer) return E_FAIL;

    // Characters side by side with one-pixel gaps, wrapping to a new row (one cell lower plus a
    // gap) when the next one would not fit. Rows that do not fit the texture are cut off.
    text::PixelBuffer bitmap(static_cast<int>(texWidth), static_cast<int>(texHeight));
    int x = 0, y = 0;
    for (unsigned c = 32; c < 127; ++c) {
        const text::TextExtent extent = rasterizer->measure(static_cast<unsigned char>(c));
        if (static_cast<DWORD>(x + extent.width + 1) > texWidth) {
            x = 0;
            y += extent.height + 1;
        }
        rasterizer->drawOpaque(static_cast<unsigned char>(c), x, y, bitmap);
        float* rect = texCoords[c - 32];
        rect[0] = static_cast<float>(x) / static_cast<float>(texWidth);
        rect[1] = static_cast<float>(y) / static_cast<float>(texHeight);
        rect[2] = static_cast<float>(x + extent.width) / static_cast<float>(texWidth);
        rect[3] = static_cast<float>(y + extent.height) / static_cast<float>(texHeight);
        x += extent.width + 1;
    }

    // White texels whose alpha is the coverage, taken from the high half of the blue byte.
    D3DLOCKED_RECT locked{};
    const HRESULT hr = texture->LockRect(0, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    for (DWORD row = 0; row < texHeight; ++row) {
        auto* texels = reinterpret_cast<std::uint16_t*>(static_cast<BYTE*>(locked.pBits) +
                                                        static_cast<std::ptrdiff_t>(row) * locked.Pitch);
        for (DWORD col = 0; col < texWidth; ++col) {
            const std::uint32_t alpha = (bitmap.at(static_cast<int>(col), static_cast<int>(row)) >> 4) & 0xF;
            texels[col] = alpha == 0 ? 0 : static_cast<std::uint16_t>((alpha << 12) | 0x0FFF);
        }
    }
    texture->UnlockRect(0);
    return S_OK;
}

HRESULT OverlayFont::createBuffers() {
    if (device == nullptr) return E_FAIL;
    const HRESULT hr = device->CreateVertexBuffer(BufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                                  D3DPOOL_DEFAULT, &vertexBuffer);
    if (FAILED(hr)) return hr;

    // The same states are recorded twice: the first block is later refilled with the
    // application's values before each string, the second switches to the text states.
    for (DWORD* block : {&savedStateBlock, &drawingStateBlock}) {
        device->BeginStateBlock();
        recordDrawingStates();
        device->EndStateBlock(block);
    }
    return S_OK;
}

void OverlayFont::recordDrawingStates() {
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x08);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    device->SetRenderState(D3DRS_CLIPPING, TRUE);
    device->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, FALSE);
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

HRESULT OverlayFont::releaseBuffers() {
    if (vertexBuffer != nullptr) {
        vertexBuffer->Release();
        vertexBuffer = nullptr;
    }
    if (device != nullptr) {
        if (savedStateBlock != 0) device->DeleteStateBlock(savedStateBlock);
        if (drawingStateBlock != 0) device->DeleteStateBlock(drawingStateBlock);
    }
    savedStateBlock = 0;
    drawingStateBlock = 0;
    return S_OK;
}

HRESULT OverlayFont::releaseTexture() {
    if (texture != nullptr) {
        texture->Release();
        texture = nullptr;
    }
    device = nullptr;
    return S_OK;
}

HRESULT OverlayFont::release() {
    releaseBuffers();
    return releaseTexture();
}

HRESULT OverlayFont::drawString(float x, float y, DWORD colour, const char* text, DWORD drawFlags) {
    // Without buffers (before createBuffers or after a lost device) there is nothing to draw with.
    if (device == nullptr || vertexBuffer == nullptr || text == nullptr) return E_FAIL;

    device->CaptureStateBlock(savedStateBlock);
    device->ApplyStateBlock(drawingStateBlock);
    device->SetVertexShader(VertexFormat);
    device->SetStreamSource(0, vertexBuffer, sizeof(Vertex));
    if (drawFlags & StyleFiltered) {
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    }

    BYTE* data = nullptr;
    HRESULT hr = vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD);
    if (FAILED(hr)) {
        device->ApplyStateBlock(savedStateBlock);
        return hr;
    }
    auto* vertices = reinterpret_cast<Vertex*>(data);
    DWORD triangles = 0;
    const float startX = x;
    const float* space = texCoords[0];

    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        const unsigned c = *p;
        if (c == '\n') {
            x = startX;
            y += (space[3] - space[1]) * static_cast<float>(texHeight);
            continue;
        }
        if (c < 32 || c >= 128) continue;

        const float* rect = texCoords[c - 32];
        const float left = rect[0], top = rect[1], right = rect[2], bottom = rect[3];
        const float w = (right - left) * static_cast<float>(texWidth) / textScale;
        const float h = (bottom - top) * static_cast<float>(texHeight) / textScale;
        const float x0 = x - 0.5f, y0 = y - 0.5f, x1 = x + w - 0.5f, y1 = y + h - 0.5f;
        *vertices++ = {x0, y1, 0.9f, 1.0f, colour, left, bottom};
        *vertices++ = {x0, y0, 0.9f, 1.0f, colour, left, top};
        *vertices++ = {x1, y1, 0.9f, 1.0f, colour, right, bottom};
        *vertices++ = {x1, y0, 0.9f, 1.0f, colour, right, top};
        *vertices++ = {x1, y1, 0.9f, 1.0f, colour, right, bottom};
        *vertices++ = {x0, y0, 0.9f, 1.0f, colour, left, top};
        triangles += 2;

        // The buffer holds 50 characters; a full buffer is drawn and started again.
        if (triangles * 3 > VertexCount - 6) {
            vertexBuffer->Unlock();
            device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
            hr = vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD);
            if (FAILED(hr)) {
                device->ApplyStateBlock(savedStateBlock);
                return hr;
            }
            vertices = reinterpret_cast<Vertex*>(data);
            triangles = 0;
        }
        x += w;
    }

    vertexBuffer->Unlock();
    if (triangles > 0) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
    device->ApplyStateBlock(savedStateBlock);
    return S_OK;
}

float OverlayFont::lineWidth(const char* text) const {
    float width = 0.0f;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p < 32 || *p >= 128) continue;
        const float* rect = texCoords[*p - 32];
        width += (rect[2] - rect[0]) * static_cast<float>(texWidth) / textScale;
    }
    return width;
}

float OverlayFont::lineHeight() const { return (texCoords[0][3] - texCoords[0][1]) * static_cast<float>(texHeight); }

}  // namespace quorvel
