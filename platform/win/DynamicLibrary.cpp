// Dynamic libraries through dlopen. Scripts written for Windows name plug-ins as "x.dll" or "x";
// both find "x.so". Bare names are looked for next to the program first, as Windows searches the
// program's folder first (then in ../lib/quorvel/ from there, where an installed program's plug-ins
// are), and never in the working directory, so a show folder cannot plant a
// library by accident.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/win/Win32.h"

namespace {

std::string programFolder() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0) return {};
    std::string path(buffer, static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The names to try, in order: as written, then with ".dll" replaced by (or ".so" added to) it.
std::vector<std::string> spellings(const std::string& name) {
    std::vector<std::string> result{name};
    size_t slash = name.rfind('/');
    std::string leaf = slash == std::string::npos ? name : name.substr(slash + 1);
    if (endsWith(name, ".dll")) {
        result.push_back(name.substr(0, name.size() - 4) + ".so");
    } else if (leaf.find('.') == std::string::npos) {
        result.front() = name + ".so";
    }
    return result;
}

void* openOne(const std::string& path) { return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

}  // namespace

HMODULE LoadLibraryA(const char* name) {
    if (!name || !*name) return nullptr;
    const std::string written = name;
    const bool hasFolder = written.find('/') != std::string::npos;
    const std::string folder = hasFolder ? std::string() : programFolder();

    for (const std::string& spelling : spellings(written)) {
        if (hasFolder) {
            // dlopen treats a name with a slash as a path, relative to the working directory.
            if (void* handle = openOne(spelling)) return handle;
            continue;
        }
        if (!folder.empty()) {
            if (void* handle = openOne(folder + spelling)) return handle;
            // Installed, the program lives in bin/ and its plug-ins in lib/quorvel/ beside it.
            if (void* handle = openOne(folder + "../lib/quorvel/" + spelling)) return handle;
        }
        if (void* handle = openOne(spelling)) return handle;  // the system's search order
    }
    return nullptr;
}

void* GetProcAddress(HMODULE module, const char* symbol) {
    if (!module || !symbol) return nullptr;
    return ::dlsym(module, symbol);
}

BOOL FreeLibrary(HMODULE module) {
    if (!module) return FALSE;
    return ::dlclose(module) == 0 ? TRUE : FALSE;
}
