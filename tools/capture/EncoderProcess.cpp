#include "EncoderProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace quorvel::capture {

namespace {

constexpr size_t KeptErrorBytes = 8192;
constexpr int FirstSpareFd = 10;  // above every descriptor the child is given

// Writes everything to a non-blocking pipe, waiting while it is full, until `stop` is set.
bool writeAll(int fd, const void* data, size_t bytes, const std::atomic<bool>& stop) {
    const auto* p = static_cast<const char*>(data);
    while (bytes > 0) {
        if (stop.load()) return false;
        const ssize_t n = ::write(fd, p, bytes);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN) return false;
            pollfd writable{fd, POLLOUT, 0};
            ::poll(&writable, 1, 100);
            continue;
        }
        p += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// A pipe whose ends both close on exec; the child's end is moved above the descriptors the
// child is given, so that no dup2 onto 0..3 can find it already in place.
bool makePipe(int& readEnd, int& writeEnd, bool childReads) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    int& childEnd = childReads ? fds[0] : fds[1];
    const int moved = ::fcntl(childEnd, F_DUPFD_CLOEXEC, FirstSpareFd);
    ::close(childEnd);
    if (moved < 0) {
        ::close(childReads ? fds[1] : fds[0]);
        return false;
    }
    childEnd = moved;
    readEnd = fds[0];
    writeEnd = fds[1];
    return true;
}

}  // namespace

EncoderProcess::~EncoderProcess() {
    if (pid_ > 0) {
        stopWriting();
        ::kill(pid_, SIGKILL);
        finish();
    }
}

bool EncoderProcess::start(const std::vector<std::string>& command, std::string& error) {
    int videoRead = -1, audioRead = -1, errorWrite = -1;
    if (!makePipe(videoRead, videoFd_, true) || !makePipe(audioRead, audioFd_, true) ||
        !makePipe(errorFd_, errorWrite, false)) {
        error = std::string("cannot make pipes: ") + std::strerror(errno);
        closeFd(videoRead), closeFd(audioRead), closeFd(errorWrite);
        closeFd(videoFd_), closeFd(audioFd_), closeFd(errorFd_);
        return false;
    }
    // Bigger pipes mean fewer hand-overs per picture; a refusal only costs speed.
    ::fcntl(videoFd_, F_SETPIPE_SZ, 1 << 20);
    // Our ends do not block, so that a writer waiting for an encoder that no longer reads can
    // be told to give up.
    ::fcntl(videoFd_, F_SETFL, O_NONBLOCK);
    ::fcntl(audioFd_, F_SETFL, O_NONBLOCK);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, videoRead, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorWrite, 2);
    posix_spawn_file_actions_adddup2(&actions, audioRead, 3);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, mask;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigemptyset(&mask);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &mask);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int result = posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(videoRead), closeFd(audioRead), closeFd(errorWrite);

    if (result != 0) {
        pid_ = -1;
        closeFd(videoFd_), closeFd(audioFd_), closeFd(errorFd_);
        error = result == ENOENT ? command[0] + " was not found on PATH (install the ffmpeg package)"
                                 : "cannot run " + command[0] + ": " + std::strerror(result);
        return false;
    }
    audioThread_ = std::thread([this] { writeQueuedAudio(); });
    errorThread_ = std::thread([this] { collectErrors(); });
    return true;
}

bool EncoderProcess::writeVideo(const void* data, size_t bytes) {
    return videoFd_ >= 0 && writeAll(videoFd_, data, bytes, stopWriting_);
}

void EncoderProcess::writeAudio(const std::int16_t* samples, size_t count) {
    if (count == 0) return;
    {
        std::lock_guard lock(audioMutex_);
        audioQueue_.emplace_back(samples, samples + count);
    }
    audioReady_.notify_one();
}

void EncoderProcess::writeQueuedAudio() {
    std::unique_lock lock(audioMutex_);
    for (;;) {
        audioReady_.wait(lock, [this] { return !audioQueue_.empty() || audioClosing_; });
        if (audioQueue_.empty()) break;
        std::vector<std::int16_t> piece = std::move(audioQueue_.front());
        audioQueue_.pop_front();
        if (audioFailed_) continue;
        lock.unlock();
        const bool written = writeAll(audioFd_, piece.data(), piece.size() * sizeof(std::int16_t), stopWriting_);
        lock.lock();
        if (!written) audioFailed_ = true;
    }
    closeFd(audioFd_);
}

void EncoderProcess::collectErrors() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(errorFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        std::lock_guard lock(errorMutex_);
        errorText_.append(buffer, static_cast<size_t>(n));
        if (errorText_.size() > KeptErrorBytes) errorText_.erase(0, errorText_.size() - KeptErrorBytes);
    }
    closeFd(errorFd_);
}

void EncoderProcess::stopWriting() { stopWriting_ = true; }

bool EncoderProcess::finish(const std::function<bool()>& cancelled) {
    if (pid_ <= 0) return false;
    closeFd(videoFd_);
    {
        std::lock_guard lock(audioMutex_);
        audioClosing_ = true;
    }
    audioReady_.notify_one();
    // The sound thread may be stuck writing while the encoder waits for nothing more: a
    // cancelled finish kills the encoder first, which ends the write.
    while (cancelled) {
        {
            std::lock_guard lock(audioMutex_);
            if (audioFd_ < 0) break;
        }
        if (cancelled()) {
            ::kill(pid_, SIGKILL);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (audioThread_.joinable()) audioThread_.join();
    reap(cancelled);
    if (errorThread_.joinable()) errorThread_.join();
    return exitedCleanly_ && !audioFailed_;
}

void EncoderProcess::reap(const std::function<bool()>& cancelled) {
    int status = 0;
    bool killed = false;
    for (;;) {
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (done < 0 && errno != EINTR) {
            endDescription_ = "could not be waited for";
            pid_ = -1;
            return;
        }
        if (!killed && cancelled && cancelled()) {
            ::kill(pid_, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    if (WIFEXITED(status)) {
        exitedCleanly_ = WEXITSTATUS(status) == 0;
        endDescription_ = "exited with status " + std::to_string(WEXITSTATUS(status));
    } else if (WIFSIGNALED(status)) {
        endDescription_ = "was killed by signal " + std::to_string(WTERMSIG(status));
    }
}

std::string EncoderProcess::errorTail(int lines) const {
    std::string text;
    {
        std::lock_guard lock(errorMutex_);
        text = errorText_;
    }
    std::vector<std::string> kept;
    size_t end = text.size();
    while (end > 0 && static_cast<int>(kept.size()) < lines) {
        const size_t newline = text.rfind('\n', end - 1);
        const size_t begin = newline == std::string::npos ? 0 : newline + 1;
        std::string line = text.substr(begin, end - begin);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) kept.insert(kept.begin(), line);
        if (newline == std::string::npos) break;
        end = newline;
    }
    std::string joined;
    for (const std::string& line : kept) joined += (joined.empty() ? "" : " / ") + line;
    return joined;
}

}  // namespace quorvel::capture
