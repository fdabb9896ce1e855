// Tokenizer, keyword readers and value conversions of script text.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>

#include <string>
#include <vector>

#include "script/Conversions.h"
#include "script/ScriptText.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"

using quorvel::testing::CapturedReports;
using quorvel::testing::TempDir;

namespace {

std::vector<std::string> tokensOf(const ScriptText& text) {
    return std::vector<std::string>(text.first, text.last);
}

std::vector<std::string> tokenizeFile(const std::string& bytes) {
    TempDir dir;
    std::string path = dir.write("script.txt", bytes);
    ScriptText text;
    EXPECT_TRUE(text.openFile(path.c_str()));
    text.tokenize();
    text.closeFile();
    return tokensOf(text);
}

ScriptText& fill(ScriptText& text, std::initializer_list<const char*> tokens) {
    for (const char* token : tokens) text.appendToken(token);
    return text;
}

using Tokens = std::vector<std::string>;

}  // namespace

TEST(Tokenizer, SeparatorsAndSingleCharacterTokens) {
    EXPECT_EQ(tokenizeFile("a{b;c}\n"), (Tokens{"a", "{", "b", ";", "c", "}"}));
    // Spaces, tabs, line feeds and double quotes all separate; runs make no empty tokens.
    EXPECT_EQ(tokenizeFile("  one\t\t\"two three\"\n\nfour \"\" five\n"),
              (Tokens{"one", "two", "three", "four", "five"}));
    // Punctuation other than the three specials stays inside tokens; case is kept.
    EXPECT_EQ(tokenizeFile("@LoadScene a,b=c.d\n"), (Tokens{"@LoadScene", "a,b=c.d"}));
}

TEST(Tokenizer, Comments) {
    EXPECT_EQ(tokenizeFile("x#comment\ny\n"), (Tokens{"x", "y"}));
    EXPECT_EQ(tokenizeFile("abc#x\n"), (Tokens{"abc"}));
    EXPECT_EQ(tokenizeFile("# only a comment { } ;\nz\n"), (Tokens{"z"}));
    // A comment running to the end of the file still keeps the token before it.
    EXPECT_EQ(tokenizeFile("last#no line break"), (Tokens{"last"}));
}

TEST(Tokenizer, LineEndsAndUnusualBytes) {
    // CR LF reads as one line feed; a lone CR is an ordinary byte.
    EXPECT_EQ(tokenizeFile("a\r\nb\rc\r\n"), (Tokens{"a", "b\rc"}));
    // The last token is kept without a final line break.
    EXPECT_EQ(tokenizeFile("a b"), (Tokens{"a", "b"}));
    // 0xFF is data, not end of file.
    EXPECT_EQ(tokenizeFile("a\xff" "b c\n"), (Tokens{"a\xff" "b", "c"}));
    EXPECT_TRUE(tokenizeFile("").empty());
}

TEST(Tokenizer, MemoryTextMatchesFileRules) {
    ScriptText text;
    const std::string input = "a\r\nb{c}#x\r\nd";
    text.tokenizeText(input.data(), input.size());
    EXPECT_EQ(tokensOf(text), (Tokens{"a", "b", "{", "c", "}", "d"}));
}

TEST(ScriptFile, OpensReadOnlyAndMissingFiles) {
    TempDir dir;
    std::string path = dir.write("data/vantro.jpg", "@data. @code. @eof\n");
    ::chmod(path.c_str(), 0444);
    ScriptText text;
    EXPECT_TRUE(text.openFile(path.c_str()));  // a write-protected show still loads
    text.tokenize();
    text.closeFile();
    EXPECT_EQ(text.size(), 3);
    EXPECT_EQ(text.file, nullptr);

    ScriptText missing;
    EXPECT_FALSE(missing.openFile((dir.path() + "/nothing.txt").c_str()));
}

TEST(ScriptFile, NamesWrittenOnWindowsFindTheFileIgnoringCase) {
    TempDir dir;
    dir.write("Data/Vantro.JPG", "x\n");
    ScriptText text;
    EXPECT_TRUE(text.openFile((dir.path() + "\\data\\vantro.jpg").c_str()));
}

TEST(ScriptText, CapacityGrowsByAQuarterPlusOne) {
    ScriptText text;
    EXPECT_EQ(text.capacity, 0);
    std::vector<int> capacities;
    for (int i = 0; i < 29; ++i) {
        text.appendToken(std::to_string(i));
        if (capacities.empty() || capacities.back() != text.capacity) capacities.push_back(text.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 6, 8, 11, 14, 18, 23, 29}));
    EXPECT_EQ(text.size(), 29);
    EXPECT_EQ(text.token(0), "0");
    EXPECT_EQ(text.token(28), "28");
    text.appendToken("");  // tokens appended by others may be empty
    EXPECT_EQ(text.token(29), "");
}

TEST(KeywordReaders, FindWholeTokensExactly) {
    CapturedReports reports;
    ScriptText text;
    fill(text, {"@loadscene", "a.3ds", "@LoadScene", "b.3ds", "@loadscenes", "@loadscene", "c.3ds"});
    EXPECT_EQ(text.countOf("@loadscene"), 2);
    EXPECT_EQ(text.countOf("@%s", "loadscene"), 2);  // the keyword is a format
    EXPECT_EQ(text.indexOf(1, "@loadscene"), 5);
    EXPECT_STREQ(text.textAfter(0, 0, "@loadscene"), "a.3ds");
    EXPECT_STREQ(text.textAfter(1, 0, "@loadscene"), "c.3ds");
    EXPECT_STREQ(text.textAfter(0, 2, "@loadscene"), "b.3ds");
    EXPECT_TRUE(reports.boxes.empty());

    EXPECT_EQ(text.indexOf(2, "@loadscene"), -1);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].caption, "parse error");
    EXPECT_EQ(reports.boxes[0].text, "can't get index for @loadscene");
}

TEST(KeywordReaders, FailuresShowTheirMessages) {
    CapturedReports reports;
    ScriptText empty;
    EXPECT_EQ(empty.countOf("x"), 0);
    EXPECT_TRUE(reports.boxes.empty());  // countOf never reports

    ScriptText text;
    fill(text, {"@bgcolor", "12", "@endtime"});
    EXPECT_EQ(text.textAfter(0, 0, "@endtime"), nullptr);  // last token: no value, never ""
    EXPECT_EQ(text.integerAfter(0, 0, "@missing"), -1);
    EXPECT_EQ(text.integerAfter(0, 5, "@bgcolor"), -1);
    EXPECT_FLOAT_EQ(text.floatAfter(0, 0, "@starttime"), -1.0f);
    EXPECT_FLOAT_EQ(text.floatAfter(0, 0, "@endtime"), -1.0f);
    EXPECT_EQ(text.textAfter(0, -5, "@bgcolor"), nullptr);  // never reads before the list

    std::vector<std::string> texts;
    for (auto& box : reports.boxes) {
        EXPECT_EQ(box.caption, "parse error");
        texts.push_back(box.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "text not found after @endtime", "integer not found after @missing",
                         "integer not joo found after @bgcolor", "float not found after @starttime",
                         "float not found after @endtime", "text not found after @bgcolor"}));
}

TEST(KeywordReaders, LongKeywordsAreCutAt255Characters) {
    CapturedReports reports;
    ScriptText text;
    std::string longName(300, 'k');
    text.appendToken(longName.substr(0, 255));
    EXPECT_EQ(text.countOf("%s", longName.c_str()), 1);
    text.indexOf(3, "%s", longName.c_str());
    ASSERT_EQ(reports.boxes.size(), 1u);
    // The box text is itself limited to 255 characters.
    EXPECT_EQ(reports.boxes[0].text.size(), 255u);
}

TEST(KeywordReaders, ValuesConvertAsDecimalNumbers) {
    CapturedReports reports;
    ScriptText text;
    fill(text, {"@bgcolor", "4278223103", "@c2", "-16744193", "@bad", "abc", "@f", "1e2", "@g", "12abc"});
    EXPECT_EQ(static_cast<std::uint32_t>(text.integerAfter(0, 0, "@bgcolor")), 0xFF0080FFu);
    EXPECT_EQ(static_cast<std::uint32_t>(text.integerAfter(0, 0, "@c2")), 0xFF0080FFu);
    EXPECT_EQ(text.integerAfter(0, 0, "@bad"), 0);
    EXPECT_FLOAT_EQ(text.floatAfter(0, 0, "@f"), 100.0f);
    EXPECT_EQ(text.integerAfter(0, 0, "@g"), 12);
    EXPECT_TRUE(reports.boxes.empty());  // non-numbers read as 0 silently
}

TEST(Conversions, DecimalInteger) {
    EXPECT_EQ(decimalInteger("  \t+42"), 42);
    EXPECT_EQ(decimalInteger("-7x"), -7);
    EXPECT_EQ(decimalInteger("5.7"), 5);
    EXPECT_EQ(decimalInteger(""), 0);
    EXPECT_EQ(decimalInteger("- 3"), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(decimalInteger("4286611584")), 0xFF808080u);
    EXPECT_EQ(decimalInteger("4294967296"), 0);  // wraps modulo 2^32
    EXPECT_EQ(decimalInteger("99999999999999999999"), static_cast<std::int32_t>(1661992959u));
}

TEST(Conversions, DecimalReal) {
    EXPECT_DOUBLE_EQ(decimalReal("12.9"), 12.9);
    EXPECT_DOUBLE_EQ(decimalReal(" -0.5s"), -0.5);
    EXPECT_DOUBLE_EQ(decimalReal("+.25"), 0.25);
    EXPECT_DOUBLE_EQ(decimalReal("3."), 3.0);
    EXPECT_DOUBLE_EQ(decimalReal("2E-1"), 0.2);
    EXPECT_DOUBLE_EQ(decimalReal("7e"), 7.0);  // an exponent needs digits
    EXPECT_DOUBLE_EQ(decimalReal("1e+x"), 1.0);
    EXPECT_DOUBLE_EQ(decimalReal("."), 0.0);
    EXPECT_DOUBLE_EQ(decimalReal("inf"), 0.0);  // only decimal numbers
    EXPECT_DOUBLE_EQ(decimalReal("0x10"), 0.0);
    EXPECT_TRUE(std::isinf(decimalReal("1e999")));
    EXPECT_DOUBLE_EQ(decimalReal("1e-999"), 0.0);
}

TEST(Conversions, FixedFormatHasSixDecimals) {
    EXPECT_EQ(formatFixed6(0.0), "0.000000");
    EXPECT_EQ(formatFixed6(4.0), "4.000000");
    EXPECT_EQ(formatFixed6(2.0000002384185791), "2.000000");
    EXPECT_EQ(formatFixed6(-1.5), "-1.500000");
}
