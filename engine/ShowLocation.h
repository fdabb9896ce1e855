// Where a show is, from the SHOW argument of the programs (quorvel, quorvel-capture,
// quorvel-check). A show is a folder holding data/; the engine runs inside it and reads its
// files by paths relative to it. The argument may name:
//  - nothing: the working directory is the show folder;
//  - a show folder, or the data/ folder of one;
//  - a script file inside a show folder (data/vantro.jpg or any other script file below it);
//  - a 3D Studio file (.3ds, any case): played alone by the scene viewer, with the file's own
//    folder as the place its textures are looked for.
#pragma once

#include <optional>
#include <string>

namespace quorvel {

// The script every show is played from unless a SHOW argument names another one.
inline constexpr const char* kDefaultScriptPath = "data/vantro.jpg";

struct ShowLocation {
    std::string folder;      // absolute path of the show folder (for a scene: the file's folder)
    std::string scriptPath;  // the script, relative to folder (empty for a scene)
    std::string sceneFile;   // the .3ds file's name inside folder, for the scene viewer
    bool isScene() const { return !sceneFile.empty(); }
};

// Resolves the SHOW argument (empty: the working directory). On failure returns nothing and
// sets error to one line saying what is wrong with the argument.
std::optional<ShowLocation> locateShow(const std::string& argument, std::string& error);

}  // namespace quorvel
