// The show's textures. Every picture is computed from formulas and seeded noise, so the files
// come out the same on every run.
#pragma once

#include "tools/maketextures/Picture.h"

namespace quorvel {

Picture metalPanels();        // riveted, brushed panels with grooves; tiles in both directions
Picture gasGiant();           // banded planet with a storm; wraps around horizontally
Picture moonSurface();        // cratered grey rock; wraps around horizontally
Picture ringColour();         // ring colour across the radius (left: inner edge)
Picture ringOpacity();        // ring density across the radius, with gaps
Picture gridOpacity();        // one glowing grid cell: bright edges, dark middle
Picture titleColour();        // the title's letters in polished gold on deep blue
Picture titleOpacity();       // the title's letter shapes with a soft glow

}  // namespace quorvel
