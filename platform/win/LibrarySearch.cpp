#include "platform/win/LibrarySearch.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/win/FileNames.h"

namespace quorvel::platform {
namespace {

namespace fs = std::filesystem;

std::string programFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0) return {};
    const std::string path(buffer, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Plug-ins a user installed for themselves, beside the ones that came with the program.
std::string userPluginFolder() {
    const char* home = std::getenv("HOME");
    return home && home[0] == '/' ? std::string(home) + "/.local/lib/quorvel/" : std::string();
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The names to try, in order: as written, then with ".dll" replaced by ".so"; a name without
// extension only with ".so" added.
std::vector<std::string> spellings(const std::string& name) {
    std::vector<std::string> result{name};
    const size_t slash = name.rfind('/');
    const std::string leaf = slash == std::string::npos ? name : name.substr(slash + 1);
    if (endsWith(name, ".dll")) {
        result.push_back(name.substr(0, name.size() - 4) + ".so");
    } else if (leaf.find('.') == std::string::npos) {
        result.front() = name + ".so";
    }
    return result;
}

// The folders of LD_LIBRARY_PATH; an empty entry means the working directory.
std::vector<std::string> libraryPathFolders() {
    std::vector<std::string> folders;
    const char* value = std::getenv("LD_LIBRARY_PATH");
    if (!value) return folders;
    const std::string text = value;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(":;", start);
        if (end == std::string::npos) end = text.size();
        const std::string folder = text.substr(start, end - start);
        folders.push_back(folder.empty() ? "." : folder);
        start = end + 1;
    }
    return folders;
}

bool isInside(const fs::path& file, const fs::path& folder) {
    std::error_code ec;
    const fs::path real = fs::canonical(file, ec);
    if (ec) return false;
    const auto [folderEnd, fileAt] = std::mismatch(folder.begin(), folder.end(), real.begin(), real.end());
    (void)fileAt;
    return folderEnd == folder.end();
}

}  // namespace

bool libraryNamedWithPath(const std::string& name) { return name.find_first_of("/\\") != std::string::npos; }

std::vector<LibraryCandidate> libraryCandidates(const std::string& name) {
    std::vector<LibraryCandidate> candidates;
    if (name.empty()) return candidates;
    if (libraryNamedWithPath(name)) {
        // Folders written on Windows: backslashes separate them and the case may differ.
        std::string written = name;
        std::replace(written.begin(), written.end(), '\\', '/');
        for (const std::string& spelling : spellings(written)) candidates.push_back({resolveFileName(spelling)});
        return candidates;
    }
    const std::string program = programFolder();
    const std::string user = userPluginFolder();
    for (const std::string& spelling : spellings(name)) {
        if (!program.empty()) {
            candidates.push_back({program + spelling});
            // Installed, the program lives in bin/ and its plug-ins in lib/quorvel/ beside it.
            candidates.push_back({program + "../lib/quorvel/" + spelling});
        }
        if (!user.empty()) candidates.push_back({user + spelling});
        candidates.push_back({spelling, true});
    }
    return candidates;
}

bool libraryComesWithShow(const std::string& name, const std::string& showFolder) {
    if (libraryNamedWithPath(name)) return true;
    std::error_code ec;
    const fs::path show = fs::canonical(showFolder, ec);
    if (ec) return false;
    const std::vector<std::string> folders = libraryPathFolders();
    for (const LibraryCandidate& candidate : libraryCandidates(name)) {
        if (!candidate.systemSearch) continue;
        for (const std::string& folder : folders) {
            const fs::path file = fs::path(folder) / candidate.path;
            if (fs::is_regular_file(file, ec) && isInside(file, show)) return true;
        }
    }
    return false;
}

}  // namespace quorvel::platform
