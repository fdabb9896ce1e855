// Decides when a show's files have been saved: the folders are watched, the scratch files editors
// keep beside a file while it is edited are left out, and a burst of changes (an editor writes a
// temporary file, renames it over the original and touches its backup within a few milliseconds)
// is answered once, after the folders have been quiet for a while.
#pragma once

#include <string>
#include <vector>

#include "platform/files/FolderWatch.h"

namespace quorvel {

// Swap, lock, backup and temporary files of editors: ".name.swp", ".#name", "#name#", "name~",
// "name.tmp" and the like. Saving them is not a change of the show.
bool isEditorScratchFile(const std::string& path);

class ShowWatch {
public:
    // How long the folders must stay quiet after a change before it is answered.
    static constexpr double kQuietSeconds = 0.1;

    // Starts watching the folders (each once); false when none can be watched.
    bool watch(const std::vector<std::string>& folders);

    // Reads what changed; true once, when changes of show files have been followed by
    // kQuietSeconds without any. now is a steadily rising clock in seconds.
    bool settled(double now);

private:
    platform::FolderWatch folders_;
    bool pending_ = false;
    double lastChange_ = 0.0;
};

}  // namespace quorvel
