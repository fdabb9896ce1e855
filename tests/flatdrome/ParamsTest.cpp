// Reading the flat effects' parameter blocks: keys at the blocks' times, the values in between,
// and the texts that must fail with the class's "Bad params" message.
#include <gtest/gtest.h>

#include "FlatTesting.h"
#include "flatdrome/FadeEffect.h"
#include "flatdrome/PictureEffect.h"
#include "flatdrome/TextEffect.h"
#include "flatdrome/TextImage.h"
#include "support/CapturedReports.h"

using namespace quorvel::flat;
using namespace flattest;
using quorvel::testing::CapturedReports;

namespace {

const ScreenMap Screen640(0.0f, 0.0f, 640.0f, 480.0f);

std::uint32_t alphaOf(const Quad& quad) { return quad.corner[0].colour >> 24; }

}  // namespace

TEST(KeyTrack, HoldsTheNearestKeyOutsideAndMovesLinearlyBetween) {
    KeyTrack track(7.0f);
    EXPECT_EQ(track.at(3.0f, false), 7.0f) << "no key: the default";
    track.add(2.0f, 10.0f);
    track.add(1.0f, 0.0f);  // keys may come out of order
    track.add(4.0f, 10.0f);
    EXPECT_EQ(track.at(-5.0f, false), 0.0f);
    EXPECT_EQ(track.at(1.0f, false), 0.0f);
    EXPECT_FLOAT_EQ(track.at(1.25f, false), 2.5f);
    EXPECT_EQ(track.at(3.0f, false), 10.0f);
    EXPECT_EQ(track.at(9.0f, false), 10.0f);
    track.add(2.0f, 20.0f);  // a later block at the same time wins
    EXPECT_EQ(track.at(2.0f, false), 20.0f);
}

TEST(KeyTrack, EaseStartsAndEndsSlowlyAndMeetsLinearAtTheMiddle) {
    KeyTrack track;
    track.add(0.0f, 0.0f);
    track.add(1.0f, 1.0f);
    EXPECT_FLOAT_EQ(track.at(0.5f, true), 0.5f);
    EXPECT_LT(track.at(0.1f, true), track.at(0.1f, false));
    EXPECT_GT(track.at(0.9f, true), track.at(0.9f, false));
}

TEST(ColourTrack, MovesEachChannelOnItsOwn) {
    ColourTrack colour(0xFFFFFFFFu);
    colour.add(0.0f, 0xFF0000FFu);
    colour.add(2.0f, 0x00FF0001u);
    EXPECT_EQ(colour.at(1.0f, false), 0x80800080u);
}

TEST(PictureParams, NumbersInSeveralBlocksAreKeysAtTheBlockTimes) {
    auto picture = parsed<PictureEffect>(
        "time 0.000000 { image logo.jpg x 0 y 0 width 100 height 50 alpha 0 }"
        " time 2.000000 { alpha 1 x 200 }"
        " time 4.000000 { x 100 rotation 0 }");
    EXPECT_EQ(picture->imageName(), "logo.jpg");
    picture->Update(1.0f);
    Quad q = picture->quadAt(Screen640);
    EXPECT_EQ(alphaOf(q), 128u);
    // x has keys at 0 and 2 (from the first and second block): 100 at one second.
    EXPECT_FLOAT_EQ(q.corner[0].x, 100.0f - 0.5f);
    EXPECT_FLOAT_EQ(q.corner[3].y, 50.0f - 0.5f);
    picture->Update(3.0f);
    EXPECT_FLOAT_EQ(picture->quadAt(Screen640).corner[0].x, 150.0f - 0.5f);
    picture->Update(10.0f);
    q = picture->quadAt(Screen640);
    EXPECT_FLOAT_EQ(q.corner[0].x, 100.0f - 0.5f) << "after the last key the last value holds";
    EXPECT_EQ(alphaOf(q), 255u);
}

TEST(PictureParams, TintAlphaAndFullscreen) {
    // The tint is written as the negative decimal of 0xFF00FF00 here; its alpha is scaled by alpha.
    auto picture = parsed<PictureEffect>("time 0.000000 { image a fullscreen tint -16711936 alpha 0.5 additive }");
    const Quad q = picture->quadAt(ScreenMap(10.0f, 20.0f, 320.0f, 240.0f));
    EXPECT_EQ(q.corner[0].colour, 0x8000FF00u);
    EXPECT_TRUE(picture->additive());
    EXPECT_FLOAT_EQ(q.corner[0].x, 9.5f);
    EXPECT_FLOAT_EQ(q.corner[3].x, 329.5f);
    EXPECT_FLOAT_EQ(q.corner[3].y, 259.5f);
}

TEST(PictureParams, RotationTurnsAboutTheCentreInPixels) {
    // On a viewport twice as wide as high a square turned by 90 degrees stays a square.
    auto picture = parsed<PictureEffect>("time 0.000000 { image a x 300 y 220 width 40 height 40 rotation 90 }");
    const Quad q = picture->quadAt(ScreenMap(0.0f, 0.0f, 1280.0f, 480.0f));
    // The top-left corner moves to the top right: centre (640, 240), half sizes 40 x 20 pixels.
    EXPECT_NEAR(q.corner[0].x, 640.0f + 20.0f - 0.5f, 1e-3f);
    EXPECT_NEAR(q.corner[0].y, 240.0f - 40.0f - 0.5f, 1e-3f);
}

TEST(FadeParams, TheIssuesFadeToBlackIsHalfWayAtItsMidpoint) {
    // 0 5 create fade { colour 4278190080 alpha 0 }, 1 5 anim { alpha 1 }, 2 5 delete
    auto fade = parsed<FadeEffect>("time 0.000000 { colour 4278190080 alpha 0 } time 1.000000 { alpha 1 }");
    fade->Update(0.0f);
    EXPECT_EQ(fade->colourNow(), 0x00000000u);
    fade->Update(0.5f);
    EXPECT_EQ(fade->colourNow(), 0x80000000u);
    fade->Update(1.5f);
    EXPECT_EQ(fade->colourNow(), 0xFF000000u);
}

TEST(FadeParams, ColoursAreKeysTooAndEaseCurvesEveryValue) {
    auto fade = parsed<FadeEffect>("time 0.000000 { colour 4294901760 ease } time 1.000000 { colour 4278190335 }");
    fade->Update(0.5f);
    EXPECT_EQ(fade->colourNow(), 0xFF800080u);
    fade->Update(0.25f);
    EXPECT_EQ(fade->colourNow() & 0xFFu, 40u) << "smoothstep of a quarter is 0.15625";
}

TEST(TextParams, WordsAreJoinedBySpacesAndABarStartsANewLine) {
    auto text = parsed<TextEffect>(
        "time 0.000000 { font Serif size 30 align centre x 320 text Brass Orbit | by | the tools }");
    EXPECT_EQ(text->lines(), (std::vector<std::string>{"Brass Orbit", "by", "the tools"}));
    EXPECT_EQ(text->fontFamily(), "Serif");
    EXPECT_EQ(text->size(), 30.0f);
    EXPECT_EQ(text->align(), Align::Centre);
}

TEST(TextParams, DefaultsAndALaterBlocksTextReplacesTheFirst) {
    auto text = parsed<TextEffect>("time 0.000000 { text one } time 1.000000 { align right text two words }");
    EXPECT_EQ(text->lines(), std::vector<std::string>{"two words"});
    EXPECT_EQ(text->fontFamily(), "Arial") << "the statistics' font";
    EXPECT_EQ(text->size(), 24.0f);
    EXPECT_EQ(text->align(), Align::Right);
}

TEST(FlatParams, AnEffectWithoutBlocksParses) {
    EffectPtr<FadeEffect> fade(new FadeEffect());
    auto empty = paramText("");
    EXPECT_EQ(fade->ParseParams(empty.get()), 0);
    EXPECT_EQ(fade->ParseParams(nullptr), 0);
    EXPECT_EQ(fade->colourNow(), 0xFF000000u) << "opaque black unless told otherwise";
}

struct BadText {
    const char* className;
    std::string params;
    std::string message;
};

class FlatBadParams : public ::testing::TestWithParam<BadText> {};

TEST_P(FlatBadParams, FailWithTheClassesMessage) {
    const BadText& bad = GetParam();
    CapturedReports reports;
    auto params = paramText(bad.params);
    HRESULT result = 0;
    const std::string name = bad.className;
    if (name == "picture") result = EffectPtr<PictureEffect>(new PictureEffect())->ParseParams(params.get());
    if (name == "fade") result = EffectPtr<FadeEffect>(new FadeEffect())->ParseParams(params.get());
    if (name == "text") result = EffectPtr<TextEffect>(new TextEffect())->ParseParams(params.get());
    EXPECT_EQ(result, E_FAIL) << bad.params;
    ASSERT_EQ(reports.boxes.size(), 1u) << bad.params;
    EXPECT_EQ(reports.boxes[0].text, bad.message);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FlatBadParams,
    ::testing::Values(
        // Keywords are case-sensitive, in any block, and the class's own only.
        BadText{"picture", "time 0.000000 { image a } time 1.000000 { Alpha 1 }", "Bad params for picture { Alpha }"},
        BadText{"fade", "time 0.000000 { colour 0 image a }", "Bad params for fade { image }"},
        BadText{"text", "time 0.000000 { size 20 file x }", "Bad params for text { file }"},
        // A value that is missing at the end of the block, or that is not a number.
        BadText{"fade", "time 0.000000 { alpha }", "Bad params for fade { alpha }"},
        BadText{"picture", "time 0.000000 { x left }", "Bad params for picture { x }"},
        BadText{"fade", "time 0.000000 { colour 0.5 }", "Bad params for fade { colour }"},
        BadText{"text", "time 0.000000 { align middle }", "Bad params for text { align }"},
        BadText{"text", "time 0.000000 { size 0 }", "Bad params for text { size }"},
        // A text that is not made of blocks: nothing past the end is read.
        BadText{"fade", "time 0.000000 { alpha 1", "Bad params for fade { time }"},
        BadText{"picture", "alpha 1", "Bad params for picture { alpha }"}));

TEST(TextImage, LinesAreAlignedWithinTheWidestAndCutAtTheLargestTexture) {
    const quorvel::text::FontRequest font{"Arial", -20, false, false};
    const TextImage right = rasteriseText({"WWWWWWWW", "i"}, font, Align::Right, 4096);
    ASSERT_GT(right.width, 0) << "no font found";
    EXPECT_EQ(right.height % 2, 0);
    // The short second line is drawn at the right end: its left half stays empty.
    int lit = 0, litLeft = 0;
    for (int y = right.height / 2; y < right.height; ++y)
        for (int x = 0; x < right.width; ++x)
            if (right.at(x, y) > 128) ++lit, litLeft += x < right.width / 2 ? 1 : 0;
    EXPECT_GT(lit, 0);
    EXPECT_EQ(litLeft, 0);

    const TextImage cut = rasteriseText({std::string(400, 'W'), "x", "y", "z"}, font, Align::Left, 64);
    EXPECT_EQ(cut.width, 64);
    EXPECT_EQ(cut.height, 64);
    EXPECT_EQ(cut.coverage.size(), 64u * 64u);
    EXPECT_GT(cut.textWidth, 64) << "the layout still knows the whole line";
}
