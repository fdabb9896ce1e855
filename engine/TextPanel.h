// Lines of text in a box over the picture: the player's help and time overlays and the error of
// a failed reload. The box is a dark, translucent rectangle so the text stays readable over any
// picture while the show still shows through.
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
