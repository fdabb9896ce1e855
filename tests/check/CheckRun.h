// Runs the real quorvel-check on a show folder made for the test.
#pragma once

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace quorvel::testing {

struct CheckRun {
    int status = -1;
    std::vector<std::string> lines;  // stdout, one entry per line
    bool has(const std::string& line) const;
    std::string text() const;  // every line, for failure messages
};

// quorvel-check OPTIONS SHOW.
CheckRun runCheck(const std::string& show, const std::string& options = "");

// A show folder: data/vantro.jpg holds script; the bundled show's files named in copies are
// copied into data/.
class TestShow {
public:
    explicit TestShow(const std::string& script, const std::vector<std::string>& copies = {});
    void write(const std::string& name, const std::string& bytes) const { dir_.write(name, bytes); }
    void copy(const std::string& bundledName, const std::string& as) const;
    const std::string& path() const { return dir_.path(); }
    // quorvel-check with the given arguments before the show folder.
    CheckRun check(const std::string& options = "") const;

private:
    TempDir dir_;
};

}  // namespace quorvel::testing
