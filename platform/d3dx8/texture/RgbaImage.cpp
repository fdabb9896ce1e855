#include "platform/d3dx8/texture/RgbaImage.h"

#include <algorithm>
#include <cstring>

#include <stb_image_resize.h>

#include "platform/d3dx8/d3dx8tex.h"

namespace quorvel::d3dx {

namespace {

// Averages blocks of fx x fy pixels (the last row and column of blocks may be smaller).
RgbaImage boxReduce(const RgbaImage& source, UINT fx, UINT fy) {
    const UINT width = (source.width + fx - 1) / fx, height = (source.height + fy - 1) / fy;
    RgbaImage out{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height * 4, 0)};
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            std::uint64_t sum[4] = {};
            UINT count = 0;
            for (UINT sy = y * fy; sy < std::min(source.height, (y + 1) * fy); ++sy)
                for (UINT sx = x * fx; sx < std::min(source.width, (x + 1) * fx); ++sx, ++count) {
                    const std::uint8_t* p = source.at(sx, sy);
                    for (int c = 0; c < 4; ++c) sum[c] += p[c];
                }
            for (int c = 0; c < 4; ++c) out.at(x, y)[c] = static_cast<std::uint8_t>((sum[c] + count / 2) / count);
        }
    return out;
}

}  // namespace

RgbaImage scaleImage(const RgbaImage& source, UINT width, UINT height, DWORD filter) {
    RgbaImage out{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height * 4, 0)};
    if (source.width == width && source.height == height) {
        out.pixels = source.pixels;
        return out;
    }
    const DWORD kind = filter & 0xFFu;
    if (kind == D3DX_FILTER_NONE) {
        const UINT w = std::min(width, source.width), h = std::min(height, source.height);
        for (UINT y = 0; y < h; ++y) std::memcpy(out.at(0, y), source.at(0, y), static_cast<size_t>(w) * 4);
        return out;
    }
    if (kind == D3DX_FILTER_POINT) {
        for (UINT y = 0; y < height; ++y) {
            const UINT sy = static_cast<UINT>((static_cast<std::uint64_t>(y) * 2 + 1) * source.height / (2ull * height));
            for (UINT x = 0; x < width; ++x) {
                const UINT sx = static_cast<UINT>((static_cast<std::uint64_t>(x) * 2 + 1) * source.width / (2ull * width));
                std::memcpy(out.at(x, y), source.at(sx, sy), 4);
            }
        }
        return out;
    }
    // stb_image_resize prepares its filter in time proportional to input x output size, which
    // a file of extreme proportions turns into minutes; shrink by whole factors first so that
    // it never scales down by more than four.
    const UINT fx = source.width / (2 * width), fy = source.height / (2 * height);
    if (fx > 1 || fy > 1) return scaleImage(boxReduce(source, std::max(1u, fx), std::max(1u, fy)), width, height, filter);
    stbir_filter stbFilter = STBIR_FILTER_DEFAULT;
    if (kind == D3DX_FILTER_LINEAR || kind == D3DX_FILTER_TRIANGLE) stbFilter = STBIR_FILTER_TRIANGLE;
    if (kind == D3DX_FILTER_BOX) stbFilter = STBIR_FILTER_BOX;
    const int ok = stbir_resize_uint8_generic(
        source.pixels.data(), static_cast<int>(source.width), static_cast<int>(source.height),
        static_cast<int>(source.width * 4), out.pixels.data(), static_cast<int>(width), static_cast<int>(height),
        static_cast<int>(width * 4), 4, 3, 0, STBIR_EDGE_CLAMP, stbFilter, STBIR_COLORSPACE_LINEAR, nullptr);
    if (!ok) return scaleImage(source, width, height, D3DX_FILTER_POINT);
    return out;
}

RgbaImage halveImage(const RgbaImage& source, DWORD filter) {
    const UINT width = std::max(1u, source.width / 2), height = std::max(1u, source.height / 2);
    RgbaImage out{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height * 4, 0)};
    const bool point = (filter & 0xFFu) == D3DX_FILTER_POINT;
    for (UINT y = 0; y < height; ++y) {
        const UINT y0 = std::min(y * 2, source.height - 1), y1 = std::min(y * 2 + 1, source.height - 1);
        for (UINT x = 0; x < width; ++x) {
            const UINT x0 = std::min(x * 2, source.width - 1), x1 = std::min(x * 2 + 1, source.width - 1);
            std::uint8_t* o = out.at(x, y);
            if (point) {
                std::memcpy(o, source.at(x0, y0), 4);
                continue;
            }
            const std::uint8_t *a = source.at(x0, y0), *b = source.at(x1, y0), *c = source.at(x0, y1),
                               *d = source.at(x1, y1);
            for (int ch = 0; ch < 4; ++ch) o[ch] = static_cast<std::uint8_t>((a[ch] + b[ch] + c[ch] + d[ch] + 2) / 4);
        }
    }
    return out;
}

}  // namespace quorvel::d3dx
