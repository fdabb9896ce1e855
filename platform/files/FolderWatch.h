// Watches folders for files that were written, created, renamed into place or deleted. Built on
// inotify without a thread: the descriptor is non-blocking and the owner polls it once per frame.
// Editors that save by writing a temporary file and renaming it over the original show up as the
// original's name being moved in, so whole-file replacements are seen like writes in place.
#pragma once

#include <string>
#include <vector>

namespace quorvel::platform {

class FolderWatch {
public:
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // False when the system gives no watch (then nothing is ever reported).
    bool valid() const { return fd_ >= 0; }

    // Watches the files directly inside folder. A folder already watched is not added twice;
    // false when it cannot be watched.
    bool add(const std::string& folder);

    // The files changed since the last call, as folder + "/" + name in the order the system
    // reported them (a name may repeat). Never waits.
    std::vector<std::string> poll();

private:
    struct Watched {
        int descriptor;
        std::string folder;
    };
    int fd_ = -1;
    std::vector<Watched> watched_;
};

}  // namespace quorvel::platform
