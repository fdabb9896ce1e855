// Reading the picture back from a device made by Direct3DCreate8, for the capture tool and the
// pixel tests. The back buffer holds the frame being drawn and, after Present, the frame just
// shown (it is kept, not discarded).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace quorvel {

struct FramePixels {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, top row first
};

// False when the device is not one of ours or the read fails.
bool ReadBackBuffer(IDirect3DDevice8* device, FramePixels& frame);

}  // namespace quorvel
