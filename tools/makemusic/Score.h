// "Brass Orbit": the show's music, 30 bars in A minor at 120 beats per minute (one minute).
// Bars 1-4 pads alone, 5-12 bass and drums join, 13-20 the lead's theme, 21-24 a breakdown,
// 25-30 everything again, ending on a held A minor chord that fades out.
#pragma once

#include "tools/makemusic/StereoBuffer.h"

namespace quorvel {

constexpr double kBeat = 0.5;  // seconds at 120 beats per minute
constexpr double kBar = 4 * kBeat;
constexpr int kBars = 30;

// Renders the whole piece into a new buffer of kBars bars.
StereoBuffer renderPiece();

}  // namespace quorvel
