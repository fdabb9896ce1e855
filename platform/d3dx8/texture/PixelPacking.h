// Conversion of 8-bit RGBA pixels to Direct3D texel formats.
#pragma once

#include <cstdint>

#include "platform/d3d8/d3d8.h"

namespace quorvel::d3dx {

// Bytes per texel of a format packRow can write, or 0.
UINT packedTexelSize(D3DFORMAT format);

// Writes count pixels (R, G, B, A bytes each) as texels of format; channels are rounded to the
// nearest value of their width, X bits are set to one. False for formats it cannot write.
bool packRow(D3DFORMAT format, const std::uint8_t* rgba, UINT count, std::uint8_t* out);

}  // namespace quorvel::d3dx
