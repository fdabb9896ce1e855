// A picture file's bytes decoded into 8-bit RGBA.
#pragma once

#include <cstdint>

#include "platform/d3dx8/texture/RgbaImage.h"

namespace quorvel::d3dx {

// Pictures above this many pixels are refused rather than decoded: by the texture loader, and by
// the show checker, which says so before a show is played.
constexpr std::uint64_t kMaxSourcePixels = 1ull << 26;

// Decodes the file in its own channel count and widens it here: grey to grey, grey, grey, 255;
// grey and alpha to grey, grey, grey, alpha; RGB to RGB, 255. stb_image's own widening is not
// used, because for 16-bit PNM files it runs its 8-bit routine over 16-bit samples and reads past
// the end of its buffer. channels receives the file's channel count. False when the bytes do not
// decode; stbi_failure_reason() then says why.
bool decodeRgba(const unsigned char* bytes, int length, RgbaImage& image, int& channels);

// Whether decodeRgba would decode the bytes, without widening or keeping the picture.
bool pictureDecodes(const unsigned char* bytes, int length);

}  // namespace quorvel::d3dx
