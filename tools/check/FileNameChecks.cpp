#include "FileNameChecks.h"

#include <sys/stat.h>

#include <vector>

#include "platform/win/FileNames.h"

namespace quorvel::check {

namespace {

bool isFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string withSlashes(std::string name) {
    for (char& c : name) {
        if (c == '\\') c = '/';
    }
    return name;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string caseFallbackFor(const std::string& path) {
    const std::string exact = withSlashes(path);
    if (isFile(exact)) return {};
    const std::string resolved = platform::resolveFileName(path);
    return resolved != exact && isFile(resolved) ? resolved : std::string();
}

bool leavesShowFolder(const std::string& name) {
    const std::string path = withSlashes(name);
    if (path.empty()) return false;
    if (path[0] == '/' || (path.size() > 1 && path[1] == ':')) return true;
    int depth = 1;  // inside data/
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (--depth < 0) return true;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return false;
}

std::string libraryInShowFolder(const std::string& library) {
    std::vector<std::string> spellings{library};
    if (endsWith(library, ".dll")) spellings.push_back(library.substr(0, library.size() - 4) + ".so");
    if (library.find('.') == std::string::npos) spellings.push_back(library + ".so");
    for (const std::string& folder : {std::string(), std::string("data/")}) {
        for (const std::string& spelling : spellings) {
            const std::string resolved = platform::resolveFileName(folder + spelling);
            if (isFile(resolved)) return resolved;
        }
    }
    return {};
}

}  // namespace quorvel::check
