#include "PngFrames.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

// stb's PNG writer asks for a zlib stream; zlib's own deflate at level 1 with run-length
// matching is much faster than stb's built-in compressor at any level.
unsigned char* deflateFast(unsigned char* data, int length, int* outLength, int /*quality*/) {
    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return nullptr;
    const uLong bound = deflateBound(&stream, static_cast<uLong>(length));
    auto* out = static_cast<unsigned char*>(std::malloc(bound));
    if (!out) {
        deflateEnd(&stream);
        return nullptr;
    }
    stream.next_in = data;
    stream.avail_in = static_cast<uInt>(length);
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(bound);
    const int result = deflate(&stream, Z_FINISH);
    *outLength = static_cast<int>(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        std::free(out);
        return nullptr;
    }
    return out;
}

}  // namespace

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBIW_ZLIB_COMPRESS deflateFast
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace quorvel::capture {

namespace {
// Paeth for every row: trying all five filters per row costs more than it saves here. stb reads
// the setting for every picture, so it is made once, before any writer thread exists.
constexpr int PaethFilter = 4;
[[maybe_unused]] const bool filterChosen = (stbi_write_force_png_filter = PaethFilter, true);
}  // namespace

std::string pngFramePath(const std::string& folder, std::int64_t index) {
    char name[64];
    std::snprintf(name, sizeof(name), "/frame-%06lld.png", static_cast<long long>(index));
    return folder + name;
}

bool writePngFrame(const std::string& folder, const CapturedFrame& frame) {
    const std::string path = pngFramePath(folder, frame.index);
    if (!stbi_write_png(path.c_str(), frame.width, frame.height, 4, frame.rgba.data(), frame.width * 4)) {
        std::fprintf(stderr, "quorvel-capture: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace quorvel::capture
