// Captures message boxes and debug output for the lifetime of the object, so tests can assert
// on the exact captions and texts the system reports.
#pragma once

#include <string>
#include <vector>

namespace quorvel::testing {

struct MessageBoxRecord {
    std::string caption;
    std::string text;
};

class CapturedReports {
public:
    CapturedReports();
    ~CapturedReports();
    CapturedReports(const CapturedReports&) = delete;
    CapturedReports& operator=(const CapturedReports&) = delete;

    std::vector<MessageBoxRecord> boxes;
    std::vector<std::string> debugLines;  // one entry per debug output call

    std::string debugText() const;  // all debug output concatenated
    void clear();
};

}  // namespace quorvel::testing
