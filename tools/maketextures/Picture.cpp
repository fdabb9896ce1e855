#include "tools/maketextures/Picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace quorvel {

Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
Rgb mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }
float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

Picture::Picture(int width, int height)
    : width_(width), height_(height), texels_(std::size_t(width) * std::size_t(height)) {}

bool Picture::save(const std::string& path, bool grey, int jpegQuality) const {
    const int channels = grey ? 1 : 3;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(texels_.size() * std::size_t(channels));
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f)); };
    for (const Rgb& t : texels_) {
        bytes.push_back(byte(t.r));
        if (!grey) {
            bytes.push_back(byte(t.g));
            bytes.push_back(byte(t.b));
        }
    }
    const bool png = path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0;
    if (png) return stbi_write_png(path.c_str(), width_, height_, channels, bytes.data(), width_ * channels) != 0;
    return stbi_write_jpg(path.c_str(), width_, height_, channels, bytes.data(), jpegQuality) != 0;
}

}  // namespace quorvel
