// Reports held back. Work done on a helper thread must not show its message boxes or debug lines
// when it happens: they would interleave with the main thread's and come out of order. While a
// ReportRecording is alive, what its thread reports is kept in it instead; the thread that later
// takes the work over replays it, so the reports come out where the work belongs in the order of
// things, or not at all when that work is abandoned.
#pragma once

#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

namespace quorvel::platform {

struct RecordedReport {
    bool messageBox = false;  // otherwise a debug output line
    bool hasCaption = false;  // message boxes: a null caption means the default one
    std::string caption;
    std::string text;
    UINT type = 0;
};

// For the report channels: when the calling thread is recording, keeps the report and returns
// true; otherwise returns false and the channel shows it.
bool recordMessageBox(const char* text, const char* caption, UINT type);
bool recordDebugOutput(const char* text);

// Shows reports, in order, on the calling thread, as if made there now (a recording of that
// thread keeps them again).
void replayReports(const std::vector<RecordedReport>& reports);

class ReportRecording {
public:
    // Starts recording the calling thread's reports. Recordings nest: an inner one holds the
    // reports until it stops, then the outer one records again.
    ReportRecording();
    ~ReportRecording();
    ReportRecording(const ReportRecording&) = delete;
    ReportRecording& operator=(const ReportRecording&) = delete;

    // Stops recording (on the thread that started it); the reports stay. Done by the destructor
    // at the latest.
    void stop();

    const std::vector<RecordedReport>& reports() const { return reports_; }
    // Hands the reports over, leaving none.
    std::vector<RecordedReport> take() { return std::move(reports_); }

private:
    friend bool recordMessageBox(const char* text, const char* caption, UINT type);
    friend bool recordDebugOutput(const char* text);

    std::vector<RecordedReport> reports_;
    ReportRecording* outer_ = nullptr;
    bool recording_ = true;
};


}  // namespace quorvel::platform
