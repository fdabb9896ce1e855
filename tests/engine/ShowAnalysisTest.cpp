// The show analysis: each warning with its text and the line of the token it names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ShowAnalysis.h"
#include "scene/SceneList.h"
#include "support/CapturedReports.h"

using quorvel::Diagnostics;

namespace {

struct Analysed {
    quorvel::testing::CapturedReports reports;
    ScriptText script;
    quorvel::TokenLines lines;
    quorvel::TimelineTrace trace;
    Layer layers[LayerCount];

    explicit Analysed(const std::string& text) {
        script.tokenizeText(text.data(), text.size(), &lines);
        trace.showReports = false;
        parseTimelineTokens(script, layers, &trace);
    }

    // "LINE: TEXT" for every warning.
    std::vector<std::string> warnings(const SceneList* scenes = nullptr) const {
        std::vector<std::string> out;
        const quorvel::ShowAnalysis analysis(script, lines, trace, layers);
        for (const quorvel::Diagnostic& d : analysis.warnings(scenes)) {
            EXPECT_EQ(d.severity, quorvel::Severity::Warning);
            out.push_back(std::to_string(d.line) + ": " + d.text);
        }
        return out;
    }
};

using Lines = std::vector<std::string>;

Scene* sceneWithCameras(const std::string& name, const std::vector<std::string>& cameras) {
    auto* scene = new Scene;
    scene->name = name;
    for (const std::string& camera : cameras) scene->cameras.push_back(new Camera(camera));
    return scene;
}

}  // namespace

TEST(ShowAnalysis, HeaderWordsNoCommandKnows) {
    const Analysed show("@data.\n@endtme 20\n@nostats\nloadscene x.3ds\n@loadimage a.jpg alpha b.png\n@code.\n@eof\n");
    EXPECT_EQ(show.warnings(), (Lines{"2: unknown header command '@endtme' is ignored",
                                      "4: 'loadscene' is no header command and is ignored",
                                      "4: 'x.3ds' is no header command and is ignored"}));
}

TEST(ShowAnalysis, NumbersNotTakenWhole) {
    const Analysed show(
        "@data.\n@bgcolor 0xFF102040\n@endtime 20s\n@starttime 1e1\n@code.\n@basetime 1,5\n"
        "2.5 5.7 create fx\n3 5 delete\n@eof\n");
    EXPECT_EQ(show.warnings(),
              (Lines{"2: number '0xFF102040' is read as 0 (colours are written as decimal A8R8G8B8 numbers)",
                     "3: number '20s' is read as 20 (the reader takes only '20')",
                     "6: number '1,5' is read as 1 (the reader takes only '1')",
                     "7: number '5.7' is read as 5 (the reader takes only '5', a whole decimal number)"}));
    EXPECT_EQ(Analysed("@data.\n@bgcolor -8355712\n@code.\n@eof\n").warnings(), Lines{})
        << "a negative colour is taken whole";
}

TEST(ShowAnalysis, StatementWordsAndTheEventsTheyLeavePending) {
    const Analysed show(
        "@data.\n@code.\n"
        "0 0 creat fx { }\n"  // 3: stray word; the words after it are read out of step
        "1 0 delete\n"        // 4: commits an event that has no class
        "0 1 anim { a }\n"    // 5: nothing pending on layer 1
        "0 2 create fx\n"     // 6
        "1 2 create gx\n"     // 7: replaces the pending fx
        "0 3 create fx\n"     // 8: never deleted
        "@eof\n");
    EXPECT_EQ(show.warnings(),
              (Lines{"3: 'creat' is no statement word (create, anim, delete or {): the statement ends before it, "
                     "and it is read as the time of the next statement",
                     "3: '{' on layer 0, which has no event created: its block goes to the next event created on "
                     "that layer",
                     "4: 'delete' on layer 0, which has no event created: it ends an event without an effect class",
                     "5: 'anim' on layer 1, which has no event created: its block goes to the next event created "
                     "on that layer",
                     "7: 'create' on layer 2 before the event created in line 6 is deleted: this one replaces it",
                     "7: the event 'gx' created on layer 2 is never deleted, so it never plays (end it with 'TIME 2 "
                     "delete')",
                     "8: the event 'fx' created on layer 3 is never deleted, so it never plays (end it with 'TIME 3 "
                     "delete')"}));
}

TEST(ShowAnalysis, ABlockThatSwallowsTheNextStatements) {
    const Analysed show("@data.\n@code.\n0 0 create fx { a\n1 0 delete\n0 1 create fx { }\n1 1 delete\n@eof\n");
    const Lines warnings = show.warnings();
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings[0],
              "3: the event 'fx' created on layer 0 is never deleted, so it never plays (end it with "
              "'TIME 0 delete')");
    EXPECT_EQ(warnings[1],
              "4: 'delete' inside the parameter block opened in line 3: that block is probably "
              "missing its '}'");
}

TEST(ShowAnalysis, CamerasTheSceneLacksAndScenesNobodyUses) {
    const Analysed show(
        "@data.\n@loadscene a.3ds\n@loadscene b.3ds\n@loadscene c.3ds\n@code.\n"
        "0 0 create scene { file a.3ds camera Camera1 }\n"  // 6: a lacks Camera1
        "1 0 anim { camera Top }\n"                         // 7: a later block overrides: Top exists
        "2 0 delete\n"
        "0 1 create scene { file a.3ds camera Side }\n"  // 9: lacks Side
        "2 1 delete\n"
        "0 2 create scene { camera Nope file c.3ds }\n"  // 11: c has no cameras at all: no warning here
        "2 2 delete\n"
        "0 3 create other { file b.3ds }\n"  // only scene events use scenes
        "2 3 delete\n"
        "@eof\n");
    SceneList scenes;
    scenes.scenes.push_back(sceneWithCameras("a.3ds", {"Camera01", "Top"}));
    scenes.scenes.push_back(sceneWithCameras("b.3ds", {"Camera01"}));
    scenes.scenes.push_back(sceneWithCameras("c.3ds", {}));
    EXPECT_EQ(show.warnings(&scenes),
              (Lines{"3: scene 'b.3ds' is loaded but no scene effect uses it",
                     "9: scene 'a.3ds' has no camera 'Side', so its first camera 'Camera01' is used (its cameras: "
                     "Camera01, Top)"}));
    EXPECT_EQ(show.warnings().size(), 0u) << "without loaded scenes the scene checks are left out";
}

TEST(ShowAnalysis, ACleanShowHasNoWarnings) {
    const Analysed show(
        "# comment\n@data.\n@loadlibrary meshdrome.dll\n@loadscene s.3ds\n@loadimage a.jpg alpha b.png\n"
        "@loadmusic m.ogg\n@bgcolor 4278190080\n@starttime 0\n@endtime 30\n@nostats\n@code.\n@basetime 0\n"
        "0 0 create scene { file s.3ds camera Camera01 fps 30 clearzbuffer }\n10 0 anim { fps 15 }\n"
        "30 0 delete\n@basetime 2.5\n0 1 create scene { file s.3ds } 1 1 delete\n@eof\n");
    SceneList scenes;
    scenes.scenes.push_back(sceneWithCameras("s.3ds", {"Camera01"}));
    EXPECT_EQ(show.warnings(&scenes), Lines{});
}
