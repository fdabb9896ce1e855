#include "support/CapturedReports.h"

#include "platform/win/OutputRedirection.h"

namespace quorvel::testing {

CapturedReports::CapturedReports() {
    platform::setMessageBoxSink([this](const std::string& caption, const std::string& text) {
        boxes.push_back({caption, text});
    });
    platform::setDebugOutputSink([this](const std::string& text) { debugLines.push_back(text); });
}

CapturedReports::~CapturedReports() {
    platform::setMessageBoxSink(nullptr);
    platform::setDebugOutputSink(nullptr);
}

std::string CapturedReports::debugText() const {
    std::string all;
    for (const std::string& line : debugLines) all += line;
    return all;
}

void CapturedReports::clear() {
    boxes.clear();
    debugLines.clear();
}

}  // namespace quorvel::testing
