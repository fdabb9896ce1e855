// The timeline picture: the SVG is well-formed XML with one bar per event at its times, and the
// PNG of the bundled show matches the reference a person looked at.
#include <glib.h>
#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CheckRun.h"

using quorvel::testing::TestShow;

namespace {

using Attributes = std::map<std::string, std::string>;

struct SvgElements {
    std::vector<std::pair<std::string, Attributes>> elements;  // name, attributes; in file order
};

void onStart(GMarkupParseContext*, const gchar* name, const gchar** names, const gchar** values, gpointer data,
             GError**) {
    Attributes attributes;
    for (int i = 0; names[i]; ++i) attributes[names[i]] = values[i];
    static_cast<SvgElements*>(data)->elements.emplace_back(name, attributes);
}

// Parses the file as XML; false (with the parser's message) when it is not well-formed.
bool parseSvg(const std::string& path, SvgElements& out, std::string& why) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    const std::string xml = text.str();
    GMarkupParser parser{};
    parser.start_element = onStart;
    GMarkupParseContext* context = g_markup_parse_context_new(&parser, G_MARKUP_TREAT_CDATA_AS_TEXT, &out, nullptr);
    GError* error = nullptr;
    const bool ok = xml.rfind("<?xml", 0) == 0 &&
                    g_markup_parse_context_parse(context, xml.c_str(), static_cast<gssize>(xml.size()), &error) &&
                    g_markup_parse_context_end_parse(context, &error);
    if (error) {
        why = error->message;
        g_error_free(error);
    }
    g_markup_parse_context_free(context);
    return ok;
}

std::vector<Attributes> withClass(const SvgElements& svg, const std::string& name, const std::string& kind) {
    std::vector<Attributes> found;
    for (const auto& [element, attributes] : svg.elements) {
        auto it = attributes.find("class");
        if (element == name && it != attributes.end() && it->second == kind) found.push_back(attributes);
    }
    return found;
}

double number(const Attributes& a, const char* key) { return std::atof(a.at(key).c_str()); }

}  // namespace

TEST(TimelinePicture, SvgHasOneBarPerEventAtItsTimes) {
    // 20 seconds over 1200 pixels would be 60 px/s; the scale stops at 40 px/s. The rows start
    // 64 px from the left.
    const TestShow show(
        "@data.\n@endtime 20\n@code.\n0 0 create a { } 10 0 delete\n@basetime 5\n0 2 create b { x y }\n"
        "3 2 anim { z } 15 2 delete 1 0 create c { } 1 0 delete\n@eof\n");
    const std::string svgPath = show.path() + "/t.svg";
    const auto run = show.check("--timeline '" + svgPath + "'");
    EXPECT_EQ(run.status, 1) << "no plug-in offers the classes: " << run.text();

    SvgElements svg;
    std::string why;
    ASSERT_TRUE(parseSvg(svgPath, svg, why)) << why;
    const std::vector<Attributes> bars = withClass(svg, "rect", "event");
    ASSERT_EQ(bars.size(), 3u);
    // Layer 0's events come first (slot order), then layer 2's.
    EXPECT_DOUBLE_EQ(number(bars[0], "x"), 64.0);
    EXPECT_DOUBLE_EQ(number(bars[0], "width"), 10 * 40.0 - 1);
    EXPECT_DOUBLE_EQ(number(bars[1], "x"), 64.0 + 6 * 40);
    EXPECT_DOUBLE_EQ(number(bars[1], "width"), 2.0) << "a zero-length event is still drawn";
    EXPECT_EQ(bars[1].at("fill"), "url(#hatch)") << "it never plays";
    EXPECT_DOUBLE_EQ(number(bars[2], "x"), 64.0 + 5 * 40);
    EXPECT_DOUBLE_EQ(number(bars[2], "width"), 15 * 40.0 - 1);
    EXPECT_LT(number(bars[2], "y"), number(bars[0], "y")) << "layer 0 is the bottom row";
    const std::vector<Attributes> blocks = withClass(svg, "line", "block");
    ASSERT_EQ(blocks.size(), 1u) << "the block sent 3 s after event b started";
    EXPECT_DOUBLE_EQ(number(blocks[0], "x1"), 64.0 + 8 * 40);
    EXPECT_EQ(withClass(svg, "line", "basetime").size(), 1u);
    EXPECT_EQ(withClass(svg, "line", "startend").size(), 2u);
}

TEST(TimelinePicture, BundledShowPngMatchesTheReference) {
    const quorvel::testing::TempDir out;
    const std::string png = out.path() + "/timeline.png";
    ASSERT_EQ(quorvel::testing::runCheck(DEMO_DIR, "--timeline '" + png + "'").status, 0);
    int w = 0, h = 0, n = 0, rw = 0, rh = 0, rn = 0;
    stbi_uc* made = stbi_load(png.c_str(), &w, &h, &n, 3);
    stbi_uc* reference = stbi_load(REFERENCE_DIR "/demo-timeline.png", &rw, &rh, &rn, 3);
    ASSERT_NE(made, nullptr);
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(w, rw);
    EXPECT_EQ(h, rh);
    if (w == rw && h == rh) {
        // Text may be set slightly differently with other font versions: allow a little.
        long differing = 0;
        for (long i = 0; i < static_cast<long>(w) * h * 3; ++i) differing += std::abs(made[i] - reference[i]) > 48;
        EXPECT_LT(differing, static_cast<long>(w) * h * 3 / 50) << "more than 2% of the samples differ";
    }
    stbi_image_free(made);
    stbi_image_free(reference);
}
