// An 8-bit RGBA picture in memory, top row first, and the scaling the texture loader does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win/WinTypes.h"

namespace quorvel::d3dx {

struct RgbaImage {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4

    std::uint8_t* at(UINT x, UINT y) { return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    const std::uint8_t* at(UINT x, UINT y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    }
};

// The image at width x height with a D3DX_FILTER_* filter (low byte): NONE copies into the
// top-left corner and leaves the rest transparent black, POINT takes the nearest pixel,
// LINEAR and TRIANGLE interpolate, BOX averages; anything else uses the default resampler.
RgbaImage scaleImage(const RgbaImage& source, UINT width, UINT height, DWORD filter);

// The next smaller mip level (half size, at least 1): POINT takes the top-left pixel of each
// 2 x 2 block, every other filter averages the block.
RgbaImage halveImage(const RgbaImage& source, DWORD filter);

}  // namespace quorvel::d3dx
