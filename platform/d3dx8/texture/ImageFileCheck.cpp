#include "platform/d3dx8/texture/ImageFileCheck.h"

#include <stb_image.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/d3dx8/texture/ImageDecode.h"
#include "platform/win/FileNames.h"

namespace quorvel::d3dx {

bool imageFileDecodes(const std::string& path, std::string& why) {
    std::ifstream in(platform::resolveFileName(path), std::ios::binary);
    if (!in) {
        why = "cannot be opened";
        return false;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int w = 0, h = 0, channels = 0;
    const int length = static_cast<int>(bytes.size());
    if (bytes.empty() || !stbi_info_from_memory(bytes.data(), length, &w, &h, &channels) || w <= 0 || h <= 0) {
        why = "is no picture the loader reads";
        return false;
    }
    if (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > kMaxSourcePixels) {
        why = "is too large (" + std::to_string(w) + "x" + std::to_string(h) + ")";
        return false;
    }
    if (!pictureDecodes(bytes.data(), length)) {
        why = std::string("does not decode: ") + stbi_failure_reason();
        return false;
    }
    return true;
}

}  // namespace quorvel::d3dx
