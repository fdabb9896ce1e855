// Text over the picture in a box that keeps it readable whatever is drawn below.
#pragma once

#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace quorvel {

class OverlayFont;

// Draws lines of text in a dark translucent box whose top-left corner is at (x, y) pixels,
// sized to the text; colour is the text colour. The device's states are left as they were.
void drawTextPanel(IDirect3DDevice8* device, OverlayFont& font, float x, float y,
                   const std::vector<std::string>& lines, DWORD colour);

}  // namespace quorvel
