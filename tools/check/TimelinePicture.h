// The picture of a checked show's timeline: time across, one row per used layer (layer 0 at
// the bottom), a bar per event, the music's peaks along the bottom.
#pragma once

#include <string>

namespace quorvel::check {

class ShowCheck;

// Writes an SVG file, or a PNG for a path ending in ".png" (any case). False with why on failure.
bool writeTimelinePicture(const ShowCheck& check, const std::string& path, std::string& why);

}  // namespace quorvel::check
