#include "engine/ShowLocation.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace quorvel {

namespace {

bool hasDataFolder(const fs::path& folder) {
    std::error_code ec;
    return fs::is_directory(folder / "data", ec);
}

bool endsWith3ds(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".3ds";
}

}  // namespace

std::optional<ShowLocation> locateShow(const std::string& argument, std::string& error) {
    std::error_code ec;
    const fs::path given = argument.empty() ? fs::current_path(ec) : fs::path(argument);
    if (ec) {
        error = "cannot read the working directory: " + ec.message();
        return std::nullopt;
    }
    const fs::path absolute = fs::weakly_canonical(fs::absolute(given, ec), ec);
    if (ec || !fs::exists(absolute, ec)) {
        error = "'" + argument + "' does not exist";
        return std::nullopt;
    }

    ShowLocation location;
    if (fs::is_directory(absolute, ec)) {
        if (hasDataFolder(absolute)) {
            location.folder = absolute.string();
        } else if (absolute.filename() == "data" && hasDataFolder(absolute.parent_path())) {
            location.folder = absolute.parent_path().string();
        } else {
            error = "'" + (argument.empty() ? absolute.string() : argument) +
                    "' is not a show folder (it holds no data/ folder)";
            return std::nullopt;
        }
        location.scriptPath = kDefaultScriptPath;
        return location;
    }

    if (endsWith3ds(absolute.filename().string())) {
        location.folder = absolute.parent_path().string();
        location.sceneFile = absolute.filename().string();
        return location;
    }

    // A script file: the show folder is the nearest folder above it that holds data/.
    for (fs::path folder = absolute.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        if (hasDataFolder(folder)) {
            location.folder = folder.string();
            location.scriptPath = absolute.lexically_relative(folder).generic_string();
            return location;
        }
        if (folder == folder.root_path()) break;
    }
    error = "'" + argument + "' is not inside a show folder (no data/ folder above it)";
    return std::nullopt;
}

}  // namespace quorvel
