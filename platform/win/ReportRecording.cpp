#include "platform/win/ReportRecording.h"

#include "platform/win/Win32.h"

namespace quorvel::platform {

namespace {

thread_local ReportRecording* current = nullptr;

}  // namespace

ReportRecording::ReportRecording() : outer_(current) { current = this; }

ReportRecording::~ReportRecording() { stop(); }

void ReportRecording::stop() {
    if (!recording_) return;
    recording_ = false;
    if (current == this) current = outer_;
}

void replayReports(const std::vector<RecordedReport>& reports) {
    for (const RecordedReport& report : reports) {
        if (report.messageBox)
            MessageBoxA(nullptr, report.text.c_str(), report.hasCaption ? report.caption.c_str() : nullptr,
                        report.type);
        else
            OutputDebugStringA(report.text.c_str());
    }
}

bool recordMessageBox(const char* text, const char* caption, UINT type) {
    if (!current) return false;
    RecordedReport report;
    report.messageBox = true;
    report.hasCaption = caption != nullptr;
    report.caption = caption ? caption : "";
    report.text = text ? text : "";
    report.type = type;
    current->reports_.push_back(std::move(report));
    return true;
}

bool recordDebugOutput(const char* text) {
    if (!current) return false;
    RecordedReport report;
    report.text = text ? text : "";
    current->reports_.push_back(std::move(report));
    return true;
}

}  // namespace quorvel::platform
