// The error boxes (captions and the limits of their texts) and the debug output channel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/Timeline.h"
#include "platform/win/Win32.h"
#include "script/Reports.h"
#include "support/CapturedReports.h"

using quorvel::testing::CapturedReports;

TEST(Reports, CaptionsAndTextLimits) {
    CapturedReports reports;
    const std::string longText(1000, 'x');
    reportError("Couldn't load %s", "data/vantro.jpg");
    reportError("%s", longText.c_str());
    reportParseError("%s", longText.c_str());
    reportScriptError(3, 9, longText.c_str());

    ASSERT_EQ(reports.boxes.size(), 4u);
    EXPECT_EQ(reports.boxes[0].caption, "Error");  // the platform's default caption
    EXPECT_EQ(reports.boxes[0].text, "Couldn't load data/vantro.jpg");
    EXPECT_EQ(reports.boxes[1].text.size(), 511u);
    EXPECT_EQ(reports.boxes[2].caption, "parse error");
    EXPECT_EQ(reports.boxes[2].text.size(), 255u);
    EXPECT_EQ(reports.boxes[3].caption, "SCRIPT PARSE ERROR");
    EXPECT_EQ(reports.boxes[3].text.size(), 511u);
    EXPECT_EQ(reports.boxes[3].text.substr(0, 17), "Line 3, Index 9\nx");
}

// The debug channel reaches stderr only when QUORVEL_DEBUG asks for it, and then unchanged.
TEST(Reports, DebugChannelIsSilentUnlessAskedFor) {
    const char* saved = std::getenv("QUORVEL_DEBUG");
    const std::string savedValue = saved ? saved : "";
    auto stderrOf = [](const char* value) {
        if (value) {
            setenv("QUORVEL_DEBUG", value, 1);
        } else {
            unsetenv("QUORVEL_DEBUG");
        }
        ::testing::internal::CaptureStderr();
        OutputDebugStringA("-4.242640 ROLL\n");
        OutputDebugStringA("file");
        return ::testing::internal::GetCapturedStderr();
    };
    EXPECT_EQ(stderrOf(nullptr), "");
    EXPECT_EQ(stderrOf(""), "");
    EXPECT_EQ(stderrOf("0"), "");
    EXPECT_EQ(stderrOf("1"), "-4.242640 ROLL\nfile");
    EXPECT_EQ(stderrOf("yes"), "-4.242640 ROLL\nfile");

    // A redirection hook sees every line whatever the variable says.
    unsetenv("QUORVEL_DEBUG");
    {
        CapturedReports reports;
        OutputDebugStringA("camera");
        EXPECT_EQ(reports.debugText(), "camera");
    }
    if (saved) {
        setenv("QUORVEL_DEBUG", savedValue.c_str(), 1);
    } else {
        unsetenv("QUORVEL_DEBUG");
    }
}
