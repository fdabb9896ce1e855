#include "engine/ShowWatch.h"

namespace quorvel {
namespace {

bool endsWith(const std::string& text, const char* suffix) {
    const std::string tail(suffix);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool isEditorScratchFile(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.front() == '.' || name.front() == '#' || name.back() == '~') return true;
    for (const char* suffix : {".swp", ".swx", ".tmp", ".bak", ".part"})
        if (endsWith(name, suffix)) return true;
    // vim probes whether it may write in a folder with a file of this name.
    return name == "4913";
}

bool ShowWatch::watch(const std::vector<std::string>& folders) {
    bool any = false;
    for (const std::string& folder : folders) any = folders_.add(folder) || any;
    return any;
}

bool ShowWatch::settled(double now) {
    for (const std::string& path : folders_.poll()) {
        if (isEditorScratchFile(path)) continue;
        pending_ = true;
        lastChange_ = now;
    }
    if (!pending_ || now - lastChange_ < kQuietSeconds) return false;
    pending_ = false;
    return true;
}

}  // namespace quorvel
