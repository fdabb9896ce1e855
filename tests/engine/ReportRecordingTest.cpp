// Reports held back on one thread and replayed later, in order, as the same boxes and lines.
#include "platform/win/ReportRecording.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/win/Win32.h"
#include "support/CapturedReports.h"

namespace quorvel::platform {
namespace {

using testing::CapturedReports;

TEST(ReportRecording, HoldsThisThreadsReportsUntilReplayedInOrder) {
    CapturedReports shown;
    std::vector<RecordedReport> held;
    {
        ReportRecording recording;
        MessageBoxA(nullptr, "first", nullptr, MB_OK | MB_ICONERROR);
        OutputDebugStringA("between\n");
        MessageBoxA(nullptr, "second", "parse error", MB_OK);
        // Another thread's reports are its own and go out at once.
        std::thread([] { MessageBoxA(nullptr, "elsewhere", nullptr, MB_OK); }).join();
        recording.stop();
        MessageBoxA(nullptr, "after stop", nullptr, MB_OK);
        held = recording.take();
    }
    ASSERT_EQ(shown.boxes.size(), 2u);
    EXPECT_EQ(shown.boxes[0].text, "elsewhere");
    EXPECT_EQ(shown.boxes[1].text, "after stop");
    EXPECT_TRUE(shown.debugLines.empty());

    shown.clear();
    replayReports(held);
    ASSERT_EQ(shown.boxes.size(), 2u);
    EXPECT_EQ(shown.boxes[0].text, "first");
    EXPECT_EQ(shown.boxes[0].caption, "Error");  // the default caption, as when shown directly
    EXPECT_EQ(shown.boxes[1].text, "second");
    EXPECT_EQ(shown.boxes[1].caption, "parse error");
    EXPECT_EQ(shown.debugLines, (std::vector<std::string>{"between\n"}));
}

TEST(ReportRecording, NestedRecordingsHandBackToTheOuterOne) {
    CapturedReports shown;
    ReportRecording outer;
    OutputDebugStringA("outer 1");
    std::vector<RecordedReport> inner;
    {
        ReportRecording recording;
        OutputDebugStringA("inner");
        inner = recording.take();
    }
    OutputDebugStringA("outer 2");
    // Replaying while the outer recording runs lands in it, after what it already holds.
    replayReports(inner);
    outer.stop();
    EXPECT_TRUE(shown.debugLines.empty());
    replayReports(outer.take());
    EXPECT_EQ(shown.debugLines, (std::vector<std::string>{"outer 1", "outer 2", "inner"}));
}

}  // namespace
}  // namespace quorvel::platform
