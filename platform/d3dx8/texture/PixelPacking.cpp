#include "platform/d3dx8/texture/PixelPacking.h"

#include <cstring>

namespace quorvel::d3dx {

namespace {

// 8-bit channel to a channel of `bits` bits, rounded to nearest.
std::uint32_t narrow(std::uint8_t v, unsigned bits) {
    const std::uint32_t top = (1u << bits) - 1u;
    return (v * top + 127u) / 255u;
}

void store16(std::uint8_t* out, std::uint32_t v) {
    const auto w = static_cast<std::uint16_t>(v);
    std::memcpy(out, &w, 2);
}

void store32(std::uint8_t* out, std::uint32_t v) { std::memcpy(out, &v, 4); }

}  // namespace

UINT packedTexelSize(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_X1R5G5B5: return 2;
    default: return 0;
    }
}

bool packRow(D3DFORMAT format, const std::uint8_t* p, UINT count, std::uint8_t* out) {
    const UINT size = packedTexelSize(format);
    if (size == 0) return false;
    for (UINT i = 0; i < count; ++i, p += 4, out += size) {
        const std::uint8_t r = p[0], g = p[1], b = p[2], a = p[3];
        switch (format) {
        case D3DFMT_A8R8G8B8: store32(out, (std::uint32_t{a} << 24) | (r << 16) | (g << 8) | b); break;
        case D3DFMT_X8R8G8B8: store32(out, 0xFF000000u | (r << 16) | (g << 8) | b); break;
        case D3DFMT_R5G6B5: store16(out, (narrow(r, 5) << 11) | (narrow(g, 6) << 5) | narrow(b, 5)); break;
        case D3DFMT_A4R4G4B4:
            store16(out, (narrow(a, 4) << 12) | (narrow(r, 4) << 8) | (narrow(g, 4) << 4) | narrow(b, 4));
            break;
        case D3DFMT_X4R4G4B4:
            store16(out, 0xF000u | (narrow(r, 4) << 8) | (narrow(g, 4) << 4) | narrow(b, 4));
            break;
        case D3DFMT_A1R5G5B5:
            store16(out, (a >= 128 ? 0x8000u : 0u) | (narrow(r, 5) << 10) | (narrow(g, 5) << 5) | narrow(b, 5));
            break;
        case D3DFMT_X1R5G5B5:
            store16(out, 0x8000u | (narrow(r, 5) << 10) | (narrow(g, 5) << 5) | narrow(b, 5));
            break;
        default: return false;
        }
    }
    return true;
}

}  // namespace quorvel::d3dx
