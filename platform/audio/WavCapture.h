// Renders the library's mixed output into a 16-bit stereo 44100 Hz WAV file without an output
// device, for the capture program. BASS_SetCaptureMode(TRUE) must be in force before BASS_Init.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace quorvel::audio {

class WavCapture {
public:
    WavCapture() = default;
    ~WavCapture();
    WavCapture(const WavCapture&) = delete;
    WavCapture& operator=(const WavCapture&) = delete;

    // Creates (or replaces) the file. False when it cannot be written.
    bool open(const std::string& path);
    // Mixes the next `frames` frames and appends them. False on a mixing or write failure.
    bool render(std::uint64_t frames);
    // Appends frames mixed elsewhere (interleaved stereo), for a caller that also sends them on.
    bool append(const std::int16_t* samples, std::uint64_t frames);
    // Frames written so far.
    std::uint64_t framesWritten() const { return written_; }
    // Finishes the file's header; also done by the destructor.
    void close();

private:
    SNDFILE* file_ = nullptr;
    std::uint64_t written_ = 0;
    std::vector<std::int16_t> buffer_;
};

}  // namespace quorvel::audio
