// Dynamic libraries through dlopen, tried at the places LibrarySearch lists: a bare name next to
// the program first (as Windows searches the program's folder first), then in the plug-in folders
// and the system's search order, never in the working directory, so a show folder cannot plant a
// library by accident. Whether a library that comes with a show may load at all is the caller's
// decision (see libraryComesWithShow).
#include <dlfcn.h>

#include <string>

#include "platform/win/LibrarySearch.h"
#include "platform/win/Win32.h"

HMODULE LoadLibraryA(const char* name) {
    if (!name || !*name) return nullptr;
    for (const quorvel::platform::LibraryCandidate& candidate : quorvel::platform::libraryCandidates(name)) {
        // A path with a slash is opened as written (relative to the working directory); a bare
        // spelling goes through the system's search order.
        if (void* handle = ::dlopen(candidate.path.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
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
