// What the timeline picture is drawn on: the same drawing calls make a self-contained SVG file
// (written as text, with a class on every element) or a PNG image (cairo and pango).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvel::check {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    double alpha = 1.0;
};

enum class Anchor { Start, Middle, End };

class TimelineCanvas {
public:
    virtual ~TimelineCanvas() = default;
    // kind names what the element stands for ("event", "row", "tick", ...): an SVG class.
    virtual void rect(const char* kind, double x, double y, double w, double h, Colour fill, bool hatched) = 0;
    virtual void line(const char* kind, double x0, double y0, double x1, double y1, Colour stroke, double width,
                      bool dashed) = 0;
    // Text with its baseline at y; maxWidth > 0 cuts it with an ellipsis to that width.
    virtual void text(const char* kind, double x, double y, const std::string& text, double size, Colour colour,
                      Anchor anchor, double maxWidth) = 0;
    // A closed shape filled with one colour.
    virtual void polygon(const char* kind, const std::vector<double>& xy, Colour fill) = 0;
    // Writes the picture; false with why when the file cannot be written.
    virtual bool save(const std::string& path, std::string& why) = 0;
};

std::unique_ptr<TimelineCanvas> makeSvgCanvas(double width, double height);
std::unique_ptr<TimelineCanvas> makePngCanvas(double width, double height);

}  // namespace quorvel::check
