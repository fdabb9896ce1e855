// Timeline statements: events, blocks and their time stamps, and the reports of bad scripts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/Timeline.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"

using quorvel::testing::CapturedReports;
using quorvel::testing::TempDir;

namespace {

struct ParsedScript {
    std::unique_ptr<Layer[]> layers = std::make_unique<Layer[]>(LayerCount);
    ScriptText script;
    bool ok = false;
};

std::unique_ptr<ParsedScript> parse(const std::string& text) {
    auto parsed = std::make_unique<ParsedScript>();
    parsed->script.tokenizeText(text.data(), text.size());
    parsed->ok = parseTimelineTokens(parsed->script, parsed->layers.get());
    return parsed;
}

std::vector<std::string> paramsOf(const LayerEvent& event) {
    return std::vector<std::string>(event.params.first, event.params.last);
}

using Tokens = std::vector<std::string>;

}  // namespace

TEST(Timeline, EventFromCreateAnimAndDelete) {
    CapturedReports reports;
    auto p = parse("@data. @code.\n"
                   "@basetime 20\n"
                   "0 3 create scene { file a.3ds }\n"
                   "4 3 anim { fps 25 }\n"
                   "10 3 delete\n"
                   "@eof\n");
    ASSERT_TRUE(p->ok);
    const Layer& layer = p->layers[3];
    ASSERT_EQ(layer.eventCount, 1);
    EXPECT_FLOAT_EQ(layer.events[0].startTime, 20.0f);
    EXPECT_FLOAT_EQ(layer.events[0].endTime, 30.0f);
    EXPECT_EQ(layer.events[0].className, "scene");
    EXPECT_EQ(layer.events[0].effect, nullptr);
    EXPECT_EQ(paramsOf(layer.events[0]),
              (Tokens{"time", "0.000000", "{", "file", "a.3ds", "}", "time", "4.000000", "{", "fps", "25", "}"}));
    // Every block token goes to the debug channel, without separators.
    EXPECT_EQ(reports.debugText(), "filea.3dsfps25");
    EXPECT_TRUE(reports.boxes.empty());
    for (int i = 0; i < LayerCount; ++i) {
        if (i != 3) {
            EXPECT_EQ(p->layers[i].eventCount, 0);
        }
        EXPECT_FALSE(p->layers[i].active);
        EXPECT_EQ(p->layers[i].currentEvent, nullptr);
    }
}

TEST(Timeline, BaseTimeAndRelativeBlockTimes) {
    CapturedReports reports;
    auto p = parse("@data. @code. @basetime 20 1.5 0 create fx 3.5 0 anim { a } 4 0 delete { b }"
                   " @basetime 0.1 0 0 create fx { c } 0.3 0 delete @eof");
    ASSERT_TRUE(p->ok);
    const Layer& layer = p->layers[0];
    ASSERT_EQ(layer.eventCount, 2);
    EXPECT_FLOAT_EQ(layer.events[0].startTime, 21.5f);
    EXPECT_FLOAT_EQ(layer.events[0].endTime, 24.0f);
    // A block on the delete line belongs to the event that line commits.
    EXPECT_EQ(paramsOf(layer.events[0]),
              (Tokens{"time", "2.000000", "{", "a", "}", "time", "2.500000", "{", "b", "}"}));
    EXPECT_FLOAT_EQ(layer.events[1].startTime, 0.1f);
    EXPECT_FLOAT_EQ(layer.events[1].endTime, 0.4f);
    EXPECT_EQ(paramsOf(layer.events[1]), (Tokens{"time", "0.000000", "{", "c", "}"}));
}

TEST(Timeline, SlotsCommitOnlyOnDelete) {
    CapturedReports reports;
    auto p = parse("@data. @code.\n"
                   "0 1 create a 1 1 delete 1 1 create b 2 1 delete\n"
                   "0 2 create never { x }\n"
                   "5 4 delete\n"
                   "@eof\n");
    ASSERT_TRUE(p->ok);
    ASSERT_EQ(p->layers[1].eventCount, 2);
    EXPECT_EQ(p->layers[1].events[0].className, "a");
    EXPECT_EQ(p->layers[1].events[1].className, "b");
    EXPECT_FLOAT_EQ(p->layers[1].events[1].startTime, 1.0f);
    EXPECT_EQ(p->layers[2].eventCount, 0);
    ASSERT_EQ(p->layers[4].eventCount, 1);
    EXPECT_EQ(p->layers[4].events[0].className, "");
    EXPECT_FLOAT_EQ(p->layers[4].events[0].startTime, 0.0f);
    EXPECT_FLOAT_EQ(p->layers[4].events[0].endTime, 5.0f);
}

TEST(Timeline, OptionalPartsOnlyInTheirOrder) {
    CapturedReports reports;
    // "5 0 delete create x": delete commits, then "create" begins the next statement as a time
    // (0) with "x" as its layer (0), so nothing is created.
    auto p = parse("@data. @code. 5 0 delete create x @eof");
    ASSERT_TRUE(p->ok);
    EXPECT_EQ(p->layers[0].eventCount, 1);
    EXPECT_EQ(p->layers[0].events[0].className, "");
    EXPECT_TRUE(p->layers[0].events[1].className.empty());
}

TEST(Timeline, BlocksDoNotNest) {
    CapturedReports reports;
    auto p = parse("@data. @code. 0 7 create fx { a { b } 1 7 delete @eof");
    ASSERT_TRUE(p->ok);
    EXPECT_EQ(paramsOf(p->layers[7].events[0]), (Tokens{"time", "0.000000", "{", "a", "{", "b", "}"}));
}

TEST(Timeline, LayerNumbers) {
    CapturedReports reports;
    auto p = parse("@data. @code. 0 59 create a 1 59 delete 0 5.7 create b 1 5 delete @eof");
    ASSERT_TRUE(p->ok);
    EXPECT_EQ(p->layers[59].eventCount, 1);
    EXPECT_EQ(p->layers[5].eventCount, 1);

    auto tooHigh = parse("@data. @code. @basetime 1 0 60 create a @eof");
    EXPECT_FALSE(tooHigh->ok);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].caption, "SCRIPT PARSE ERROR");
    // Line counts the @basetime statement; Index is the token after the layer number.
    EXPECT_EQ(reports.boxes[0].text, "Line 1, Index 5\nSorry! You exceeded the maximum nuber of layers");

    reports.clear();
    auto negative = parse("@data. @code. 0 -1 create a 1 -1 delete @eof");
    EXPECT_FALSE(negative->ok);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "Line 0, Index 3\nSorry! Layer numbers can't be negative");
}

TEST(Timeline, MissingBlocks) {
    CapturedReports reports;
    EXPECT_FALSE(parse("@code. @eof")->ok);
    EXPECT_FALSE(parse("@data. 0 1 create a @eof")->ok);
    auto eofOnly = parse("@data. @code. @eof");
    EXPECT_TRUE(eofOnly->ok);
    for (int i = 0; i < LayerCount; ++i) EXPECT_EQ(eofOnly->layers[i].eventCount, 0);
    ASSERT_EQ(reports.boxes.size(), 2u);
    EXPECT_EQ(reports.boxes[0].text, "Line -1, Index 0\nNo <@data.> block found");
    EXPECT_EQ(reports.boxes[1].text, "Line -1, Index 0\nNo <@code.> block found");
}

TEST(Timeline, HeaderBeforeCodeAndTokensAfterEofAreNotStatements) {
    CapturedReports reports;
    auto p = parse("@data. @endtime 60 @code. 0 0 create a 1 0 delete @eof 0 1 create b 1 1 delete");
    ASSERT_TRUE(p->ok);
    EXPECT_EQ(p->layers[0].eventCount, 1);
    EXPECT_EQ(p->layers[1].eventCount, 0);
}

TEST(Timeline, ScriptsThatEndTooEarlyAreReportedNotOverread) {
    struct Case {
        const char* script;
        const char* report;
    };
    const Case cases[] = {
        {"@data. @code.", "Line 0, Index 1\nNo <@eof> found: the script ends before the timeline does"},
        {"@data. @code. 0 1 create a 1 1 delete",
         "Line 2, Index 8\nNo <@eof> found: the script ends before the timeline does"},
        {"@data. @code. @basetime", "Line 0, Index 1\nThe script ends in the middle of a statement"},
        {"@data. @code. 0", "Line 0, Index 1\nThe script ends in the middle of a statement"},
        {"@data. @code. 0 1 create", "Line 0, Index 3\nThe script ends in the middle of a statement"},
        {"@data. @code. 0 1 create a { x y", "Line 0, Index 8\nNo <}> found: a parameter block is not closed"},
        {"@data. @code. 0 1 {", "Line 0, Index 4\nNo <}> found: a parameter block is not closed"},
    };
    for (const Case& c : cases) {
        CapturedReports reports;
        auto p = parse(c.script);
        EXPECT_FALSE(p->ok) << c.script;
        ASSERT_EQ(reports.boxes.size(), 1u) << c.script;
        EXPECT_EQ(reports.boxes[0].text, c.report) << c.script;
    }
}

TEST(Timeline, AHundredEventsFillALayer) {
    std::string script = "@data. @code.\n";
    for (int i = 0; i < 100; ++i) {
        script += std::to_string(i) + " 9 create fx " + std::to_string(i + 1) + " 9 delete\n";
    }
    CapturedReports reports;
    auto full = parse(script + "@eof\n");
    ASSERT_TRUE(full->ok);
    EXPECT_EQ(full->layers[9].eventCount, 100);
    EXPECT_FLOAT_EQ(full->layers[9].events[99].startTime, 99.0f);

    auto over = parse(script + "100 9 anim { x } @eof\n");
    EXPECT_FALSE(over->ok);
    EXPECT_EQ(over->layers[9].eventCount, 100);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text,
              "Line 200, Index 703\nSorry! You exceeded the maximum number of events on a layer");
}

TEST(Timeline, ReadsTheScriptFile) {
    CapturedReports reports;
    TempDir dir;
    std::string path = dir.write("data/vantro.jpg", "@data.\r\n@code.\r\n0 0 create fx { k v }\r\n2 0 delete\r\n@eof");
    auto layers = std::make_unique<Layer[]>(LayerCount);
    ScriptText script;
    ASSERT_TRUE(parseTimeline(script, layers.get(), path.c_str()));
    EXPECT_EQ(script.size(), 14);
    EXPECT_EQ(script.file, nullptr);
    EXPECT_EQ(layers[0].eventCount, 1);

    ScriptText missing;
    EXPECT_FALSE(parseTimeline(missing, layers.get(), (dir.path() + "/none").c_str()));
    EXPECT_TRUE(reports.boxes.empty());  // the caller reports a missing script
}
