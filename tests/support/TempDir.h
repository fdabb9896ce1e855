// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace quorvel::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes bytes to path()/name (creating folders as needed) and returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

}  // namespace quorvel::testing
