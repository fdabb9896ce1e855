#include "engine/CommandLine.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using Action = CommandLine::Action;

CommandLine parse(std::vector<std::string> args) { return parseCommandLine(args); }

TEST(CommandLine, NothingGivenPlaysTheWorkingDirectoryAsBefore) {
    const CommandLine line = parse({});
    EXPECT_EQ(line.action, Action::Play);
    EXPECT_EQ(line.options.show, "");
    EXPECT_FALSE(line.options.noDialog);
    EXPECT_FALSE(line.options.windowed.has_value());
    EXPECT_EQ(line.options.width, 0);
    EXPECT_FALSE(line.options.start.has_value());
    EXPECT_FALSE(line.options.loop);
    EXPECT_FALSE(line.options.mute);
    EXPECT_FALSE(line.options.trustShow);
}

TEST(CommandLine, EveryOptionAndTheShow) {
    const CommandLine line = parse({"--no-dialog", "--fullscreen", "--size", "1280x720", "--start",
                                    "12.75", "--loop", "--mute", "--trust-show", "shows/orbit"});
    ASSERT_EQ(line.action, Action::Play) << line.error;
    EXPECT_EQ(line.options.show, "shows/orbit");
    EXPECT_TRUE(line.options.noDialog);
    EXPECT_EQ(line.options.windowed, false);
    EXPECT_EQ(line.options.width, 1280);
    EXPECT_EQ(line.options.height, 720);
    EXPECT_DOUBLE_EQ(*line.options.start, 12.75);
    EXPECT_TRUE(line.options.loop);
    EXPECT_TRUE(line.options.mute);
    EXPECT_TRUE(line.options.trustShow);

    const CommandLine joined = parse({"scene.3ds", "--size=800x600", "--start=0", "--windowed"});
    ASSERT_EQ(joined.action, Action::Play) << joined.error;
    EXPECT_EQ(joined.options.show, "scene.3ds");
    EXPECT_EQ(joined.options.width, 800);
    EXPECT_DOUBLE_EQ(*joined.options.start, 0.0);
    EXPECT_EQ(joined.options.windowed, true);
}

TEST(CommandLine, DoubleDashLetsAShowStartWithADash) {
    const CommandLine line = parse({"--mute", "--", "--odd-name"});
    ASSERT_EQ(line.action, Action::Play) << line.error;
    EXPECT_EQ(line.options.show, "--odd-name");
    EXPECT_TRUE(line.options.mute);
}

TEST(CommandLine, HelpAndVersionStopBeforePlaying) {
    EXPECT_EQ(parse({"--help"}).action, Action::Help);
    EXPECT_EQ(parse({"-h", "show"}).action, Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Action::Version);
    EXPECT_EQ(parse({"--version", "--help"}).action, Action::Help);
    EXPECT_EQ(parse({"--help", "--bogus"}).action, Action::Error);
    EXPECT_NE(std::string(PlayerUsage).find("--no-dialog"), std::string::npos);
    EXPECT_EQ(std::string(playerVersionLine()).rfind("quorvel ", 0), 0u);
}

// Each bad argument gives one line that names it.
TEST(CommandLine, BadArgumentsAreNamed) {
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"--bogus"}, "'--bogus'"},
        {{"-x"}, "'-x'"},
        {{"--size"}, "'--size'"},
        {{"--start"}, "'--start'"},
        {{"--size", "640"}, "'640'"},
        {{"--size", "640x"}, "'640x'"},
        {{"--size", "x480"}, "'x480'"},
        {{"--size", "640x480x32"}, "'640x480x32'"},
        {{"--size", "8x8"}, "'8x8'"},
        {{"--size", "-640x480"}, "'-640x480'"},
        {{"--size", "99999x480"}, "'99999x480'"},
        {{"--start", "soon"}, "'soon'"},
        {{"--start", "-1"}, "'-1'"},
        {{"--start", "nan"}, "'nan'"},
        {{"--start", "inf"}, "'inf'"},
        {{"--start", "3s"}, "'3s'"},
        {{"--start="}, "''"},
        {{"--loop=yes"}, "'--loop'"},
        {{"--windowed", "--fullscreen"}, "'--fullscreen'"},
        {{"one", "two"}, "'two'"},
    };
    for (const auto& c : cases) {
        const CommandLine line = parse(c.args);
        EXPECT_EQ(line.action, Action::Error) << c.args.front();
        EXPECT_NE(line.error.find(c.named), std::string::npos) << line.error;
        EXPECT_EQ(line.error.find('\n'), std::string::npos) << line.error;
    }
}

TEST(CommandLine, RepeatingAnOptionIsHarmless) {
    const CommandLine line = parse({"--windowed", "--windowed", "--size", "640x480", "--size", "320X200"});
    ASSERT_EQ(line.action, Action::Play) << line.error;
    EXPECT_EQ(line.options.width, 320);
    EXPECT_EQ(line.options.height, 200);
}

}  // namespace
}  // namespace quorvel
