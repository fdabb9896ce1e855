// The audio library's process-wide state: the output device (or capture mode), the table of open
// streams and the mixer that adds the playing streams into 44100 Hz 16-bit stereo.
//
// The stream table is guarded by a mutex that is only held for look-ups and changes, never while
// decoding: the mixer copies the list of streams it is about to mix and mixes them unlocked, so a
// stream freed meanwhile lives on until that mix is done.
#pragma once

#include "platform/audio/DecodedStream.h"

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace quorvel::audio {

class AudioSystem {
public:
    static AudioSystem& instance();

    // Each returns a BASS_* error code (BASS_OK on success).
    int init(int device, DWORD freq, DWORD flags);
    void free();
    int start();
    int pause();
    bool initialised() const { return initialised_; }

    // Taken into account by the next init; ignored while initialised, so the device callback and a
    // capturing caller never mix at the same time.
    void setCaptureMode(bool on) {
        if (!initialised_) captureMode_ = on;
    }
    bool captureMode() const { return captureMode_; }

    // Bytes of decoded samples a stream opened from now on may hold in memory (see DecodedStream).
    void setMemoryCap(std::uint64_t bytes) { memoryCap_ = bytes; }

    // Creates a stream; its handle or 0 with error set.
    HSTREAM createStream(const char* path, int& error);
    bool freeStream(HSTREAM handle);
    std::shared_ptr<DecodedStream> find(DWORD handle);

    // Mixes the playing streams into interleaved 16-bit stereo; silence while paused.
    void mix(std::int16_t* out, int frames);

private:
    AudioSystem();
    static void deviceCallback(void* self, Uint8* bytes, int length);
    void mixChunk(std::int16_t* out, int frames);

    bool initialised_ = false;
    bool captureMode_ = false;
    std::uint64_t memoryCap_ = DecodedStream::kDefaultMemoryCap;
    SDL_AudioDeviceID device_ = 0;
    std::atomic<bool> running_{false};

    std::mutex tableMutex_;
    std::vector<std::pair<HSTREAM, std::shared_ptr<DecodedStream>>> streams_;
    HSTREAM nextHandle_ = 1;

    // Used by the mixing thread only; sized up front so mixing does not allocate.
    std::vector<std::shared_ptr<DecodedStream>> mixList_;
    std::vector<std::int32_t> accumulator_;
};

}  // namespace quorvel::audio
