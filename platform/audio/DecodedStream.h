// One file stream: a libsndfile decoder, its position, play state and end syncs, and the
// conversion of its samples to the mixer's 44100 Hz 16-bit stereo.
//
// Two threads touch a stream. The application thread asks for things (play, stop, a new position)
// through atomics and never waits for the decoder. The audio thread, inside mixInto, takes up
// those requests, decodes and converts; the decoder, the converter and the sync list are guarded
// by a mutex that only mixInto and addEndSync take.
//
// Opening returns before the decoder is ready to read: files of float samples (the lossy codecs,
// float WAV) are read at full 16-bit scale, which needs the whole file decoded once to find its
// peak (files of integer samples are ready at once). That runs on a thread of its own, alongside whatever the application loads next. Ogg
// streams (Vorbis, Opus) cannot be positioned exactly in the file, so that one decoding keeps
// their samples in memory, up to a cap, and every later seek is exact and immediate; beyond the
// cap they are read from the file and a seek decodes up to its target.
//
// Until the decoder is ready, a device's mixing does not wait: the stream runs on in silence,
// keeping its place in time, and sounds from where it has got to once ready. Capture mode (no
// device, the caller sets the pace) waits instead, so that what it renders is exact.
#pragma once

#include "platform/audio/MemoryDecode.h"
#include "platform/audio/bass.h"

#include <SDL.h>
#include <sndfile.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace quorvel::audio {

class DecodedStream {
public:
    // Frames handled per decoding step; mixInto works in pieces of at most this size.
    static constexpr int kChunkFrames = 4096;

    // Ogg streams whose 16-bit samples take more bytes than this are not held in memory: about
    // 30 minutes of 44.1 kHz 16-bit stereo.
    static constexpr std::uint64_t kDefaultMemoryCap = 30ull * 60 * 44100 * 4;

    // Opens and inspects the file; null with a BASS_ERROR_* code on failure.
    static std::unique_ptr<DecodedStream> open(const char* path, int& error,
                                               std::uint64_t memoryCap = kDefaultMemoryCap);
    ~DecodedStream();
    DecodedStream(const DecodedStream&) = delete;
    DecodedStream& operator=(const DecodedStream&) = delete;

    // Facts fixed at opening.
    DWORD rate() const { return rate_; }
    DWORD channels() const { return mono_ ? 1u : 2u; }
    bool eightBit() const { return eightBit_; }
    std::uint64_t frames() const { return frames_; }
    DWORD bytesPerFrame() const { return channels() * (eightBit_ ? 1u : 2u); }
    DWORD lengthBytes() const;
    DWORD flags() const;

    // Requests from the application thread.
    void play(bool flush, bool loop);
    void stop();
    bool isPlaying() const { return playing_.load(); }
    // False when the frame lies beyond the end.
    bool requestPosition(std::uint64_t frame);
    std::uint64_t positionFrame() const;
    void addEndSync(HSYNC sync, SYNCPROC* proc, DWORD user, DWORD channel);

    // Waits until the decoder can read; then tells whether the samples are held in memory.
    bool heldInMemory();

    // Audio thread: adds up to kChunkFrames frames of this stream to an interleaved stereo
    // accumulator, taking up pending requests first. Calls end syncs when the end is reached.
    // While the decoder is not ready yet it waits when mayWait, else the stream moves on silently.
    void mixInto(std::int32_t* accumulator, int frameCount, bool mayWait = true);

private:
    DecodedStream() = default;
    void startDecoder(std::uint64_t memoryCap, int subtype);
    // Moves the place in time on by up to kChunkFrames frames without reading anything.
    void skipSilently(int frameCount);
    void seekTo(std::uint64_t frame);
    // Reads up to count frames as 16-bit samples with one or two channels (first two of more).
    int readFrames(std::int16_t* out, int count);
    int mixDirect(std::int32_t* accumulator, int frameCount);
    int mixConverted(std::int32_t* accumulator, int frameCount);
    // End of the file's data: calls the syncs, then loops or stops. False when playing stops.
    bool reachedEnd();

    struct EndSync {
        HSYNC sync;
        SYNCPROC* proc;
        DWORD user;
        DWORD channel;
    };

    SNDFILE* file_ = nullptr;
    int fileChannels_ = 0;
    DWORD rate_ = 0;
    bool mono_ = false;
    bool eightBit_ = false;
    std::uint64_t frames_ = 0;
    bool exactSeek_ = true;

    std::atomic<bool> playing_{false};
    std::atomic<bool> loop_{false};
    std::atomic<std::int64_t> pendingFrame_{-1};
    std::atomic<std::uint64_t> frame_{0};

    // The decoder's thread owns the file until ready_; inMemory_ and memory_ are its results.
    std::shared_future<void> decoder_;
    std::atomic<bool> ready_{false};
    std::atomic<bool> cancel_{false};
    bool inMemory_ = false;
    MemoryPcm memory_;
    // Audio thread: the frame the next read gives (file or memory). It differs from frame_ only
    // after the stream moved on silently while not ready.
    std::uint64_t readAt_ = 0;
    std::mutex decodeMutex_;
    std::vector<EndSync> syncs_;
    SDL_AudioStream* converter_ = nullptr;  // only when the file's rate is not the output rate
    bool draining_ = false;                 // converter flushed after a non-looping end
    std::vector<std::int16_t> readBuffer_;
    std::vector<std::int16_t> fileBuffer_;
    std::vector<std::int16_t> convertedBuffer_;
};

}  // namespace quorvel::audio
