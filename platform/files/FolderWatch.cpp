#include "platform/files/FolderWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdint>

namespace quorvel::platform {
namespace {

// What changes a file's content: an ordinary write ends with IN_CLOSE_WRITE; a save by rename
// arrives as IN_MOVED_TO; a new or removed file as IN_CREATE or IN_DELETE. IN_MOVED_FROM covers a
// file renamed away (it is gone for the show as much as a deleted one).
constexpr std::uint32_t kEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE;

}  // namespace

FolderWatch::FolderWatch() : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatch::~FolderWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool FolderWatch::add(const std::string& folder) {
    if (fd_ < 0) return false;
    const std::string path = folder.empty() ? "." : folder;
    const int descriptor = inotify_add_watch(fd_, path.c_str(), kEvents | IN_ONLYDIR);
    if (descriptor < 0) return false;
    // inotify gives the same descriptor for a folder watched twice (also under another name).
    for (const Watched& w : watched_)
        if (w.descriptor == descriptor) return true;
    std::string named = path;
    while (named.size() > 1 && named.back() == '/') named.pop_back();
    watched_.push_back({descriptor, named});
    return true;
}

std::vector<std::string> FolderWatch::poll() {
    std::vector<std::string> changed;
    if (fd_ < 0) return changed;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) break;  // EAGAIN: nothing more pending
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->len == 0 || (event->mask & IN_ISDIR)) continue;
            for (const Watched& w : watched_) {
                if (w.descriptor == event->wd) changed.push_back(w.folder + "/" + event->name);
            }
        }
    }
    return changed;
}

}  // namespace quorvel::platform
