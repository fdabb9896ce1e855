// Whether a picture file decodes, with the texture loader's decoder and limits, without a device.
#pragma once

#include <string>

namespace quorvel::d3dx {

// True when the file (a name as written on Windows) opens and decodes; otherwise why says what
// went wrong.
bool imageFileDecodes(const std::string& path, std::string& why);

}  // namespace quorvel::d3dx
