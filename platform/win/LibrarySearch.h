// Where a plug-in library that a script names is looked for, and whether it would come from the
// show's own folder. A plug-in is a program that runs with the user's rights, so the engine loads
// a library that comes with a show only when the user allows it.
//
// Search order for a bare name ("meshdrome.dll", "meshdrome"): the program's folder, the installed
// plug-in folder ../lib/quorvel/ beside it, the user's ~/.local/lib/quorvel/, then the system's
// search order. A name with a folder part ('/' or '\') is opened as written, relative to the
// working directory. "x.dll" is also tried as "x.so"; a name without extension gets ".so".
#pragma once

#include <string>
#include <vector>

namespace quorvel::platform {

// One place LoadLibraryA tries. A searched candidate is handed to the system's search order
// (dlopen with a bare name); every other one is a path.
struct LibraryCandidate {
    std::string path;
    bool systemSearch = false;
};

// Every place tried for name, in order.
std::vector<LibraryCandidate> libraryCandidates(const std::string& name);

// True when name holds a folder part: "data/fx.so", "plugins\fx.dll", "/opt/fx.so".
bool libraryNamedWithPath(const std::string& name);

// True when loading name could run a file inside folder: it is named with a path, or the
// system's search reaches a copy of it inside folder (an LD_LIBRARY_PATH entry that is the
// working directory or lies in the show). The program's own plug-in folders are not counted:
// they hold what the user installed.
bool libraryComesWithShow(const std::string& name, const std::string& showFolder);

}  // namespace quorvel::platform
