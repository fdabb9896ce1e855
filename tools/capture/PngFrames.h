// Frames as numbered PNG files: DIR/frame-NNNNNN.png with NNNNNN the frame index. Compression
// is fast rather than small (zlib level 1 over the Paeth filter, about four times faster than
// the default and still smaller files), since a capture writes thousands of them.
#pragma once

#include <string>

#include "FrameWriter.h"

namespace quorvel::capture {

std::string pngFramePath(const std::string& folder, std::int64_t index);

// Writes the frame as an RGBA PNG; safe to call from several threads at once.
bool writePngFrame(const std::string& folder, const CapturedFrame& frame);

}  // namespace quorvel::capture
