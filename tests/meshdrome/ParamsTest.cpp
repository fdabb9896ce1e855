// Reading the "scene" effect's parameter blocks.
#include "MeshdromeTesting.h"
#include "support/CapturedReports.h"

using quorvel::testing::EffectPtr;
using quorvel::testing::paramText;
using quorvel::testing::CapturedReports;

namespace {

struct Parsed {
    HRESULT result;
    EffectPtr effect;
};

Parsed parse(const std::string& text) {
    EffectPtr effect(new SceneEffect());
    auto params = paramText(text);
    const HRESULT result = effect->ParseParams(params.get());
    return {result, std::move(effect)};
}

}  // namespace

TEST(SceneParams, DefaultsWithoutBlocksOrWithAnEmptyBlock) {
    CapturedReports reports;
    for (const char* text : {"", "time 0.000000 { }"}) {
        Parsed p = parse(text);
        EXPECT_EQ(p.result, 0) << text;
        EXPECT_EQ(p.effect->sceneName, "");
        EXPECT_EQ(p.effect->cameraName, "");
        EXPECT_FLOAT_EQ(p.effect->fps, 30.0f);
        EXPECT_FALSE(p.effect->clearDepth);
        EXPECT_EQ(p.effect->frame, 0.0f);
        EXPECT_EQ(p.effect->vertexBuffer, nullptr);
        EXPECT_EQ(p.effect->indexBuffer, nullptr);
    }
    EXPECT_TRUE(reports.boxes.empty());
}

TEST(SceneParams, AllKeywordsInPassOrderTakeOnePass) {
    Parsed p = parse("time 0.000000 { file intro.3ds camera Cam01 fps 12.5 clearzbuffer }");
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.effect->sceneName, "intro.3ds");
    EXPECT_EQ(p.effect->cameraName, "Cam01");
    EXPECT_FLOAT_EQ(p.effect->fps, 12.5f);
    EXPECT_TRUE(p.effect->clearDepth);
}

TEST(SceneParams, KeywordsInAnyOrderAreTakenOverSeveralPasses) {
    // Reverse order: each pass takes one parameter.
    Parsed reversed = parse("time 0.000000 { clearzbuffer fps 24 camera Top file a.3ds }");
    ASSERT_EQ(reversed.result, 0);
    EXPECT_EQ(reversed.effect->sceneName, "a.3ds");
    EXPECT_EQ(reversed.effect->cameraName, "Top");
    EXPECT_FLOAT_EQ(reversed.effect->fps, 24.0f);
    EXPECT_TRUE(reversed.effect->clearDepth);

    Parsed fpsFirst = parse("time 0.000000 { fps 60 file b.3ds }");
    ASSERT_EQ(fpsFirst.result, 0);
    EXPECT_EQ(fpsFirst.effect->sceneName, "b.3ds");
    EXPECT_FLOAT_EQ(fpsFirst.effect->fps, 60.0f);
}

TEST(SceneParams, LaterBlocksOverrideEarlierOnes) {
    Parsed p = parse("time 0.000000 { file a.3ds fps 10 clearzbuffer } "
                     "time 2.000000 { fps 20 } time 4.000000 { file b.3ds camera Side }");
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(p.effect->sceneName, "b.3ds");
    EXPECT_EQ(p.effect->cameraName, "Side");
    EXPECT_FLOAT_EQ(p.effect->fps, 20.0f);
    EXPECT_TRUE(p.effect->clearDepth) << "no block switches the depth clear off again";
}

TEST(SceneParams, ClearzbufferTwiceAndNonNumericFps) {
    Parsed twice = parse("time 0.000000 { clearzbuffer clearzbuffer }");
    EXPECT_EQ(twice.result, 0);
    EXPECT_TRUE(twice.effect->clearDepth);

    Parsed text = parse("time 0.000000 { fps fast }");
    EXPECT_EQ(text.result, 0);
    EXPECT_EQ(text.effect->fps, 0.0f);
}

TEST(SceneParams, UnknownOrMiscasedKeywordFailsWithTheSceneNameSoFar) {
    CapturedReports reports;
    Parsed capital = parse("time 0.000000 { Camera Cam01 file a.3ds }");
    EXPECT_EQ(capital.result, E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "Bad params for scene {  }");

    reports.clear();
    Parsed afterFile = parse("time 0.000000 { file a.3ds speed 3 }");
    EXPECT_EQ(afterFile.result, E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "Bad params for scene { a.3ds }");
}

TEST(SceneParams, KeywordLastInItsBlockIsRefusedWithoutReadingTheNextBlock) {
    CapturedReports reports;
    // Taken naively, "file" would take "}" as its value and the walk would go on into the
    // next block's tokens.
    Parsed p = parse("time 0.000000 { fps 5 file } time 1.000000 { camera X }");
    EXPECT_EQ(p.result, E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "Bad params for scene {  }");
    EXPECT_EQ(p.effect->cameraName, "") << "nothing of the next block was read";

    reports.clear();
    // At the very end of the text there is no token after the brace at all.
    Parsed atEnd = parse("time 0.000000 { camera }");
    EXPECT_EQ(atEnd.result, E_FAIL);
    EXPECT_EQ(reports.boxes.size(), 1u);

    // clearzbuffer takes no value, so it may stand last.
    reports.clear();
    Parsed flag = parse("time 0.000000 { file a.3ds clearzbuffer }");
    EXPECT_EQ(flag.result, 0);
    EXPECT_TRUE(reports.boxes.empty());
}

TEST(SceneParams, TimeAsAValueOrAnUnclosedBlockReadsNothingMore) {
    CapturedReports reports;
    // "time" as a camera name counts one block more than there are braces.
    Parsed named = parse("time 0.000000 { file a.3ds camera time } time 1.000000 { fps 12 }");
    EXPECT_EQ(named.result, 0);
    EXPECT_EQ(named.effect->cameraName, "time");
    EXPECT_FLOAT_EQ(named.effect->fps, 12.0f);

    Parsed unclosed = parse("time 0.000000 { file a.3ds");
    EXPECT_EQ(unclosed.result, 0);
    EXPECT_EQ(unclosed.effect->sceneName, "");
    EXPECT_TRUE(reports.boxes.empty());
}
