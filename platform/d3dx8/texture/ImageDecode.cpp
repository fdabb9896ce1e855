#include "platform/d3dx8/texture/ImageDecode.h"

#include <stb_image.h>

#include <cstring>

namespace quorvel::d3dx {

namespace {

// The file's pixels in its own channel count, or null when they do not decode into a picture
// decodeRgba can widen.
stbi_uc* decodeNative(const unsigned char* bytes, int length, int& w, int& h, int& n) {
    stbi_uc* decoded = stbi_load_from_memory(bytes, length, &w, &h, &n, 0);
    if (decoded && (w <= 0 || h <= 0 || n < 1 || n > 4)) {
        stbi_image_free(decoded);
        return nullptr;
    }
    return decoded;
}

}  // namespace

bool pictureDecodes(const unsigned char* bytes, int length) {
    int w = 0, h = 0, n = 0;
    stbi_uc* decoded = decodeNative(bytes, length, w, h, n);
    stbi_image_free(decoded);
    return decoded != nullptr;
}

bool decodeRgba(const unsigned char* bytes, int length, RgbaImage& image, int& channels) {
    int w = 0, h = 0, n = 0;
    stbi_uc* decoded = decodeNative(bytes, length, w, h, n);
    if (!decoded) return false;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    image.width = static_cast<UINT>(w);
    image.height = static_cast<UINT>(h);
    image.pixels.resize(count * 4);
    std::uint8_t* out = image.pixels.data();
    const stbi_uc* in = decoded;
    if (n == 4) {
        std::memcpy(out, in, count * 4);
    } else {
        for (std::size_t i = 0; i < count; ++i, in += n, out += 4) {
            const bool grey = n < 3;
            out[0] = in[0];
            out[1] = grey ? in[0] : in[1];
            out[2] = grey ? in[0] : in[2];
            out[3] = n == 2 ? in[1] : 255;
        }
    }
    stbi_image_free(decoded);
    channels = n;
    return true;
}

}  // namespace quorvel::d3dx
