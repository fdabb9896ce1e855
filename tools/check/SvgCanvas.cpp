// The timeline as SVG text: plain elements with a class each, one pattern for hatching, and
// generic font families, so the file needs nothing beside it and scales cleanly.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "TimelineCanvas.h"

namespace quorvel::check {

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // Control bytes are not allowed in XML; script tokens may hold them.
                out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
        }
    }
    return out;
}

std::string colour(Colour c) {
    char text[64];
    std::snprintf(text, sizeof(text), "rgb(%d,%d,%d)", c.r, c.g, c.b);
    return text;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", v);
    return text;
}

class SvgCanvas : public TimelineCanvas {
public:
    SvgCanvas(double width, double height) {
        out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << number(width) << "\" height=\""
             << number(height) << "\" viewBox=\"0 0 " << number(width) << ' ' << number(height)
             << "\" font-family=\"sans-serif\">\n"
             << "<defs><pattern id=\"hatch\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" "
                "patternTransform=\"rotate(45)\"><rect width=\"8\" height=\"8\" fill=\"rgb(235,235,235)\"/>"
                "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"8\" stroke=\"rgb(150,60,60)\" stroke-width=\"3\"/>"
                "</pattern></defs>\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    }

    void rect(const char* kind, double x, double y, double w, double h, Colour fill, bool hatched) override {
        out_ << "<rect class=\"" << kind << "\" x=\"" << number(x) << "\" y=\"" << number(y) << "\" width=\""
             << number(w) << "\" height=\"" << number(h) << "\" fill=\""
             << (hatched ? std::string("url(#hatch)") : colour(fill)) << '"';
        if (!hatched && fill.alpha < 1.0) out_ << " fill-opacity=\"" << number(fill.alpha) << '"';
        out_ << "/>\n";
    }

    void line(const char* kind, double x0, double y0, double x1, double y1, Colour stroke, double width,
              bool dashed) override {
        out_ << "<line class=\"" << kind << "\" x1=\"" << number(x0) << "\" y1=\"" << number(y0) << "\" x2=\""
             << number(x1) << "\" y2=\"" << number(y1) << "\" stroke=\"" << colour(stroke) << "\" stroke-width=\""
             << number(width) << '"' << (dashed ? " stroke-dasharray=\"4 3\"" : "") << "/>\n";
    }

    void text(const char* kind, double x, double y, const std::string& text, double size, Colour colour_, Anchor anchor,
              double maxWidth) override {
        static const char* const anchors[] = {"start", "middle", "end"};
        std::string shown = text;
        // Without a font at hand, cut by an average glyph width of 0.55 em.
        if (maxWidth > 0) {
            const auto fits = static_cast<std::size_t>(maxWidth / (size * 0.55));
            if (fits < 2) return;
            if (shown.size() > fits) shown = shown.substr(0, fits - 1) + "\xE2\x80\xA6";
        }
        out_ << "<text class=\"" << kind << "\" x=\"" << number(x) << "\" y=\"" << number(y) << "\" font-size=\""
             << number(size) << "\" fill=\"" << colour(colour_) << "\" text-anchor=\""
             << anchors[static_cast<int>(anchor)] << "\">" << escaped(shown) << "</text>\n";
    }

    void polygon(const char* kind, const std::vector<double>& xy, Colour fill) override {
        out_ << "<polygon class=\"" << kind << "\" fill=\"" << colour(fill) << "\" points=\"";
        for (std::size_t i = 0; i + 1 < xy.size(); i += 2)
            out_ << (i ? " " : "") << number(xy[i]) << ',' << number(xy[i + 1]);
        out_ << "\"/>\n";
    }

    bool save(const std::string& path, std::string& why) override {
        std::ofstream file(path, std::ios::binary);
        file << out_.str() << "</svg>\n";
        if (!file) why = "the file cannot be written";
        return static_cast<bool>(file);
    }

private:
    std::ostringstream out_;
};

}  // namespace

std::unique_ptr<TimelineCanvas> makeSvgCanvas(double width, double height) {
    return std::make_unique<SvgCanvas>(width, height);
}

}  // namespace quorvel::check
