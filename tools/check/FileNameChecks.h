// What the checker says about the file names a script writes: names found only ignoring case,
// names that leave the show folder, and plug-in libraries that come with the show.
#pragma once

#include <string>

namespace quorvel::check {

// The file actually opened for path when only the case-insensitive match finds it; empty when
// the name is exact or nothing matches.
std::string caseFallbackFor(const std::string& path);

// True when name, taken under the show's data/ folder, points outside the show folder: an
// absolute name, or one whose ".." parts climb above it.
bool leavesShowFolder(const std::string& name);

// The file in the show folder (working directory) or its data/ folder that a bare library name
// matches with the spellings the loader tries; empty when there is none.
std::string libraryInShowFolder(const std::string& library);

}  // namespace quorvel::check
