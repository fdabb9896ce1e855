// A small stroke font for the show's title: capital letters drawn as polylines in a unit box
// (x to the right, y up), rendered with round pen ends and anti-aliased edges.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

struct Point2 {
    float x = 0.0f, y = 0.0f;
};

using Stroke = std::vector<Point2>;

// The strokes of one letter; an empty list for letters the font does not have.
std::vector<Stroke> glyphStrokes(char letter);

// The strokes of a text laid out in a box of width x height pixels: letters of equal width,
// centred, with the given letter height; points are in pixels (y down).
std::vector<Stroke> layoutText(const std::string& text, int width, int height, float letterHeight,
                               float letterWidth, float spacing);

// Distance in pixels from (x, y) to the nearest stroke.
float distanceToStrokes(const std::vector<Stroke>& strokes, float x, float y);

}  // namespace quorvel
