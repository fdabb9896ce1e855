// The error boxes: captions and the limits of their texts.
#include <gtest/gtest.h>

#include <string>

#include "engine/Timeline.h"
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
