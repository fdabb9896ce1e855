// An encoder program (ffmpeg) run as a child process: raw pictures go to its standard input,
// sound to its file descriptor 3, and the end of its error output is kept for messages.
//
// Pictures are written by one thread and block while the encoder is busy. Sound is queued and
// written by a thread of its own: an encoder reading two pipes may wait on either, so neither
// input may ever hold up the other. The child gets a process group of its own, so a Ctrl+C at
// the terminal reaches only us, and we end its input in order.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorvel::capture {

class EncoderProcess {
public:
    EncoderProcess() = default;
    ~EncoderProcess();
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    // Starts command[0], looked up on PATH, with the rest as its arguments. False with a
    // one-line reason when it cannot be started.
    bool start(const std::vector<std::string>& command, std::string& error);

    // Writes picture bytes, waiting while the encoder is busy. False once the encoder stopped
    // reading (it failed or exited). Call from one thread at a time.
    bool writeVideo(const void* data, size_t bytes);
    // Queues 16-bit sound samples for the sound thread; never waits.
    void writeAudio(const std::int16_t* samples, size_t count);

    // Makes writes that wait for the encoder give up, now and later; from any thread. For
    // abandoning an export whose encoder may have stopped reading.
    void stopWriting();

    // Ends both inputs and waits for the encoder to finish. While it finishes, `cancelled` is
    // asked now and then; when it answers true the encoder is killed. True when the encoder
    // exited with status 0 and took all the sound.
    bool finish(const std::function<bool()>& cancelled = {});

    // How it ended, for messages: "exited with status 1", "was killed by signal 9".
    const std::string& endDescription() const { return endDescription_; }
    // The last non-empty lines of its error output, joined with " / ".
    std::string errorTail(int lines = 3) const;

private:
    void writeQueuedAudio();
    void collectErrors();
    void reap(const std::function<bool()>& cancelled);

    pid_t pid_ = -1;
    int videoFd_ = -1;
    int audioFd_ = -1;
    int errorFd_ = -1;
    std::string endDescription_;
    bool exitedCleanly_ = false;
    std::atomic<bool> stopWriting_{false};

    std::thread audioThread_;
    std::mutex audioMutex_;
    std::condition_variable audioReady_;
    std::deque<std::vector<std::int16_t>> audioQueue_;
    bool audioClosing_ = false;
    bool audioFailed_ = false;

    std::thread errorThread_;
    mutable std::mutex errorMutex_;
    std::string errorText_;  // the end of the error output
};

}  // namespace quorvel::capture
