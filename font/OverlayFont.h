// Texture font for short lines of text drawn over the picture (the frame statistics). The
// printable ASCII characters of a system font are rasterised once into one alpha texture; each
// string is then drawn as two screen-space triangles per character from one dynamic vertex buffer,
// under a recorded block of render states, and the application's states are put back afterwards.
//
// Life: construct -> createTexture (device created) -> createBuffers (after every reset) ->
// drawString ... -> releaseBuffers (before every reset) -> releaseTexture (device destroyed) ->
// release (shutdown). The texture is managed and survives resets; the buffer and state blocks do not.
#pragma once

#include "platform/d3d8/d3d8.h"

namespace quorvel {

class OverlayFont {
public:
    static constexpr DWORD StyleBold = 1;
    static constexpr DWORD StyleItalic = 2;
    static constexpr DWORD StyleFiltered = 4;  // drawString: linear texture filtering

    // Vertex format of the text quads: transformed position, colour, one texture coordinate.
    static constexpr DWORD VertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    struct Vertex {
        float x, y, z, rhw;
        DWORD colour;
        float u, v;
    };
    static constexpr UINT VertexCount = 300;
    static constexpr UINT BufferBytes = VertexCount * sizeof(Vertex);

    // name: face name (at most 79 characters are kept); height in points.
    OverlayFont(const char* name, DWORD height, DWORD flags);
    // The owner calls release() while the device still exists; nothing is released here.
    ~OverlayFont() = default;
    OverlayFont(const OverlayFont&) = delete;
    OverlayFont& operator=(const OverlayFont&) = delete;

    HRESULT createTexture(IDirect3DDevice8* device);
    HRESULT createBuffers();
    HRESULT releaseBuffers();
    HRESULT releaseTexture();
    HRESULT release();

    // Draws text with its first character's top-left corner at (x, y) in pixels. Newline starts a
    // new line at x; other control bytes and bytes from 128 up are skipped.
    HRESULT drawString(float x, float y, DWORD colour, const char* text, DWORD flags);

    // Size in pixels of one line as drawString draws it (control bytes and bytes from 128 up
    // take no room), and the distance from one line to the next. Zero before createTexture.
    float lineWidth(const char* text) const;
    float lineHeight() const;

    char fontName[80];
    DWORD height;
    DWORD flags;
    IDirect3DDevice8* device = nullptr;              // not owned
    IDirect3DTexture8* texture = nullptr;            // owned
    IDirect3DVertexBuffer8* vertexBuffer = nullptr;  // owned
    DWORD texWidth = 0;
    DWORD texHeight = 0;
    float textScale = 1.0f;
    // Texture rectangle (left u, top v, right u, bottom v) of characters 32 to 127; 127 stays empty.
    float texCoords[96][4] = {};
    DWORD savedStateBlock = 0;
    DWORD drawingStateBlock = 0;

private:
    HRESULT rasteriseGlyphs();
    void recordDrawingStates();
};

static_assert(sizeof(OverlayFont::Vertex) == 28);

}  // namespace quorvel
