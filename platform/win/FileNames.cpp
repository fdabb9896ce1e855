#include "platform/win/FileNames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quorvel::platform {
namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool equalIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : char(c); };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The entry of folder that matches name ignoring case; the first in name order when several do.
std::string findEntry(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::vector<std::string> matches;
    while (dirent* entry = ::readdir(dir)) {
        std::string entryName = entry->d_name;
        if (equalIgnoringAsciiCase(entryName, name)) matches.push_back(entryName);
    }
    ::closedir(dir);
    if (matches.empty()) return {};
    return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string resolveFileName(const std::string& path) {
    std::string wanted = path;
    std::replace(wanted.begin(), wanted.end(), '\\', '/');
    if (wanted.empty() || exists(wanted)) return wanted;

    // Walk the path component by component, keeping exact matches and falling back to the
    // case-insensitive one where the exact component does not exist.
    std::string resolved;
    size_t start = 0;
    if (wanted[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= wanted.size()) {
        size_t end = wanted.find('/', start);
        if (end == std::string::npos) end = wanted.size();
        std::string part = wanted.substr(start, end - start);
        if (!part.empty()) {
            std::string candidate = resolved + part;
            if (!exists(candidate) && part != "." && part != "..") {
                std::string folder = resolved.empty() ? std::string(".") : resolved;
                std::string match = findEntry(folder, part);
                if (match.empty()) return wanted;
                candidate = resolved + match;
            }
            resolved = candidate;
            if (end < wanted.size()) resolved += '/';
        } else if (end < wanted.size() && !resolved.empty() && resolved.back() != '/') {
            resolved += '/';
        }
        start = end + 1;
    }
    return resolved;
}

}  // namespace quorvel::platform
