// Where tokens are: the line table the tokenizer fills beside a script, the number readers'
// "taken whole" test, the diagnostic line format, and the timeline reader's trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Timeline.h"
#include "script/Conversions.h"
#include "script/Diagnostic.h"
#include "script/ScriptText.h"
#include "script/TokenLines.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"

using quorvel::Diagnostic;
using quorvel::Severity;
using quorvel::TokenLines;

namespace {

struct Tokenized {
    ScriptText script;
    TokenLines lines;
    explicit Tokenized(const std::string& text) { script.tokenizeText(text.data(), text.size(), &lines); }
    std::vector<std::string> tokens() const { return {script.first, script.last}; }
};

}  // namespace

TEST(TokenLines, CountFileLinesFromOneThroughCommentsBlankLinesAndCrLf) {
    // A statement spread over three lines, a comment-only line, blank lines, CR LF and a lone
    // CR (an ordinary byte, so no line break).
    const Tokenized t("# title\r\n\r\n@data.  # header\r\n@code.\r\n\r\n12\r\n 3 create\r\n  fx{a;b}\r\nx\ry\n@eof");
    EXPECT_EQ(t.tokens(), (std::vector<std::string>{"@data.", "@code.", "12", "3", "create", "fx", "{", "a", ";", "b",
                                                    "}", "x\ry", "@eof"}));
    EXPECT_EQ(t.lines.lines, (std::vector<std::int32_t>{3, 4, 6, 7, 7, 8, 8, 8, 8, 8, 8, 9, 10}));
    EXPECT_EQ(t.lines.lastLine, 10);
    EXPECT_EQ(t.lines.lineOf(2), 6);
    EXPECT_EQ(t.lines.lineOf(99), 10) << "past the last token: the file's end";
}

TEST(TokenLines, FileAndMemoryTokenizingAgreeAndTheFileEndCounts) {
    quorvel::testing::TempDir dir;
    const std::string text = "a\r\n\r\n# c\r\nb c\r\n\r\n";
    const std::string path = dir.write("s.txt", text);
    ScriptText fromFile;
    TokenLines fileLines;
    ASSERT_TRUE(fromFile.openFile(path.c_str()));
    fromFile.tokenize(&fileLines);
    const Tokenized fromMemory(text);
    EXPECT_EQ(fileLines.lines, (std::vector<std::int32_t>{1, 4, 4}));
    EXPECT_EQ(fromMemory.lines.lines, fileLines.lines);
    EXPECT_EQ(fileLines.lastLine, 5) << "the last line holding a byte";
    EXPECT_EQ(Tokenized("").lines.lastLine, 1);
}

TEST(Conversions, LengthTellsWhetherANumberIsTakenWhole) {
    EXPECT_EQ(decimalIntegerLength("4278585884"), 10u);
    EXPECT_EQ(decimalIntegerLength("-12"), 3u);
    EXPECT_EQ(decimalIntegerLength("0xFF102040"), 1u);
    EXPECT_EQ(decimalIntegerLength("5.7"), 1u);
    EXPECT_EQ(decimalIntegerLength("abc"), 0u);
    EXPECT_EQ(decimalIntegerLength("-"), 0u);
    EXPECT_EQ(decimalRealLength("20s"), 2u);
    EXPECT_EQ(decimalRealLength("1.5e3"), 5u);
    EXPECT_EQ(decimalRealLength("1e"), 1u) << "an exponent needs digits";
    EXPECT_EQ(decimalRealLength(".5"), 2u);
    EXPECT_EQ(decimalRealLength("."), 0u);
    EXPECT_EQ(decimalRealLength("+"), 0u);
}

TEST(Diagnostic, PlayerAndCheckerLines) {
    const Tokenized t("@data.\n\n@bgcolor 0xFF\n");
    const Diagnostic error = quorvel::diagnosticAt(t.script, t.lines, 2, Severity::Error, "bad colour");
    EXPECT_EQ(quorvel::formatDiagnostic("data/vantro.jpg", error, false), "data/vantro.jpg:3: bad colour (at '0xFF')");
    EXPECT_EQ(quorvel::formatDiagnostic("data/vantro.jpg", error, true),
              "data/vantro.jpg:3: error: bad colour (at '0xFF')");
    const Diagnostic warning = quorvel::diagnosticAt(t.script, t.lines, 1, Severity::Warning, "odd");
    EXPECT_EQ(quorvel::formatDiagnostic("f", warning, true), "f:3: warning: odd");
    const Diagnostic atEnd = quorvel::diagnosticAt(t.script, t.lines, 5, Severity::Error, "cut off");
    EXPECT_EQ(quorvel::formatDiagnostic("f", atEnd, false), "f:3: cut off");
    Diagnostic placeless;
    placeless.text = "no file";
    EXPECT_EQ(quorvel::formatDiagnostic("f", placeless, true), "f: error: no file");
}

namespace {

struct Traced {
    quorvel::testing::CapturedReports reports;
    Tokenized text;
    Layer layers[LayerCount];
    quorvel::TimelineTrace trace;
    bool ok;
    Traced(const std::string& script, bool keepGoing) : text(script) {
        trace.keepGoing = keepGoing;
        trace.showReports = !keepGoing;
        ok = parseTimelineTokens(text.script, layers, &trace);
    }
};

}  // namespace

TEST(TimelineTrace, RecordsEachStatementsWords) {
    const Traced t("@data.\n@code.\n@basetime 5\n0 2 create fx { a }\n1 2 anim { b }\n3 2 delete\n4 2 oops 9\n@eof\n",
                   false);
    ASSERT_TRUE(t.ok);
    ASSERT_EQ(t.trace.statements.size(), 6u);
    EXPECT_TRUE(t.trace.statements[0].isBaseTime);
    const quorvel::StatementRecord& create = t.trace.statements[1];
    EXPECT_EQ(create.layer, 2);
    EXPECT_EQ(create.slot, 0);
    EXPECT_EQ(t.text.script.token(create.createToken), "create");
    EXPECT_EQ(create.closeToken - create.openToken, 2);
    EXPECT_GE(t.trace.statements[2].animToken, 0);
    EXPECT_GE(t.trace.statements[3].deleteToken, 0);
    EXPECT_EQ(t.text.script.token(t.trace.statements[4].strayWord), "oops");
    EXPECT_EQ(t.trace.statements[4].slot, 1);
    EXPECT_EQ(t.trace.creatorOf(2, 0), &create);
    EXPECT_EQ(t.trace.committerOf(2, 0), &t.trace.statements[3]);
    EXPECT_EQ(t.trace.creatorOf(2, 1), nullptr);
}

TEST(TimelineTrace, PlayerStopsAtTheFirstErrorAndTheCheckerReadsOn) {
    const std::string script =
        "@data.\n@code.\n0 60 create fx { }\n1 60 delete\n0 -1 delete\n0 1 create fx\n1 1 delete\n@eof\n";
    const Traced player(script, false);
    EXPECT_FALSE(player.ok);
    ASSERT_EQ(player.trace.errors.size(), 1u);
    EXPECT_EQ(player.reports.boxes.size(), 1u);

    const Traced checker(script, true);
    EXPECT_FALSE(checker.ok) << "errors make the reading fail even when it goes on";
    EXPECT_TRUE(checker.reports.boxes.empty());
    ASSERT_EQ(checker.trace.errors.size(), 3u);
    EXPECT_EQ(checker.trace.errors[0].text, "Sorry! You exceeded the maximum nuber of layers");
    EXPECT_EQ(checker.text.lines.lineOf(checker.trace.errors[1].token), 4);
    EXPECT_EQ(checker.trace.errors[2].text, "Sorry! Layer numbers can't be negative");
    EXPECT_EQ(checker.layers[1].eventCount, 1) << "the statements after the errors are read";
    EXPECT_EQ(checker.layers[1].events[0].className, "fx");
}

TEST(TimelineTrace, CheckerStopsWhereTheTextCannotBeResynchronised) {
    const Traced open("@data.\n@code.\n0 70 create fx { a\n1 0 delete\n", true);
    ASSERT_EQ(open.trace.errors.size(), 2u);
    EXPECT_EQ(open.trace.errors[1].text, "No <}> found: a parameter block is not closed");
    EXPECT_EQ(open.text.lines.lineOf(open.trace.errors[1].token), 3) << "at the block's {";
    const Traced full("@data.\n@code.\n0 0 create fx\n", true);
    ASSERT_EQ(full.trace.errors.size(), 1u);
    EXPECT_EQ(full.trace.errors[0].text, "No <@eof> found: the script ends before the timeline does");
}
