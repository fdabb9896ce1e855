// File names written on Windows (scripts and 3DS files name their files without regard to case,
// often as upper-case 8.3 names, with backslashes as separators) resolved on a case-sensitive
// file system.
#pragma once

#include <string>

namespace quorvel::platform {

// Returns the path to open for a name as the system wrote it: backslashes become '/', the exact
// name is taken when it exists, otherwise the one entry of its folder whose name matches ignoring
// ASCII case (the first in name order when several do). Folder parts are resolved the same way.
// When nothing matches, the path is returned with separators converted and otherwise unchanged.
std::string resolveFileName(const std::string& path);

}  // namespace quorvel::platform
