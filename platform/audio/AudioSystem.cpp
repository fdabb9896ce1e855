#include "platform/audio/AudioSystem.h"

#include <algorithm>
#include <cstring>

namespace quorvel::audio {

AudioSystem& AudioSystem::instance() {
    static AudioSystem system;
    return system;
}

AudioSystem::AudioSystem() {
    mixList_.reserve(64);
    accumulator_.resize(static_cast<size_t>(DecodedStream::kChunkFrames) * 2);
}

int AudioSystem::init(int device, DWORD freq, DWORD flags) {
    if (initialised_) return BASS_ERROR_ALREADY;
    if (freq != BASS_OUTPUT_RATE || flags != 0 || device < -1) return BASS_ERROR_ILLPARAM;
    running_.store(false);
    if (!captureMode_) {
        // There is one output device to choose from: SDL's default.
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return BASS_ERROR_DRIVER;
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(BASS_OUTPUT_RATE);
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = 1024;
        wanted.callback = &AudioSystem::deviceCallback;
        wanted.userdata = this;
        SDL_AudioSpec obtained{};
        // No changes allowed: SDL converts to the device's own format if it differs.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device_ == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return BASS_ERROR_DRIVER;
        }
        // The device runs from now on; it gives silence until BASS_Start.
        SDL_PauseAudioDevice(device_, 0);
    }
    initialised_ = true;
    return BASS_OK;
}

void AudioSystem::free() {
    if (!initialised_) return;
    if (device_ != 0) {
        // Waits for a callback in progress, so no stream is in use after this.
        SDL_CloseAudioDevice(device_);
        device_ = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    running_.store(false);
    std::vector<std::pair<HSTREAM, std::shared_ptr<DecodedStream>>> closing;
    {
        std::lock_guard lock(tableMutex_);
        closing.swap(streams_);
    }
    initialised_ = false;
}

int AudioSystem::start() {
    if (!initialised_) return BASS_ERROR_INIT;
    running_.store(true);
    return BASS_OK;
}

int AudioSystem::pause() {
    if (!initialised_) return BASS_ERROR_INIT;
    running_.store(false);
    return BASS_OK;
}

HSTREAM AudioSystem::createStream(const char* path, int& error) {
    if (!initialised_) {
        error = BASS_ERROR_INIT;
        return 0;
    }
    std::unique_ptr<DecodedStream> opened = DecodedStream::open(path, error, memoryCap_);
    if (!opened) return 0;
    std::lock_guard lock(tableMutex_);
    const HSTREAM handle = nextHandle_++;
    if (nextHandle_ == 0) nextHandle_ = 1;
    streams_.emplace_back(handle, std::shared_ptr<DecodedStream>(std::move(opened)));
    return handle;
}

bool AudioSystem::freeStream(HSTREAM handle) {
    std::shared_ptr<DecodedStream> closing;
    std::lock_guard lock(tableMutex_);
    auto it = std::find_if(streams_.begin(), streams_.end(),
                           [handle](const auto& entry) { return entry.first == handle; });
    if (it == streams_.end()) return false;
    it->second->stop();
    closing = std::move(it->second);
    streams_.erase(it);
    return true;
}

std::shared_ptr<DecodedStream> AudioSystem::find(DWORD handle) {
    std::lock_guard lock(tableMutex_);
    for (const auto& entry : streams_)
        if (entry.first == handle) return entry.second;
    return nullptr;
}

void AudioSystem::deviceCallback(void* self, Uint8* bytes, int length) {
    static_cast<AudioSystem*>(self)->mix(reinterpret_cast<std::int16_t*>(bytes), length / 4);
}

void AudioSystem::mix(std::int16_t* out, int frames) {
    while (frames > 0) {
        const int piece = std::min(frames, DecodedStream::kChunkFrames);
        mixChunk(out, piece);
        out += 2 * piece;
        frames -= piece;
    }
}

void AudioSystem::mixChunk(std::int16_t* out, int frames) {
    if (!running_.load()) {
        std::memset(out, 0, static_cast<size_t>(frames) * 4);
        return;
    }
    {
        std::lock_guard lock(tableMutex_);
        for (const auto& entry : streams_)
            if (entry.second->isPlaying()) mixList_.push_back(entry.second);
    }
    std::fill_n(accumulator_.begin(), 2 * frames, 0);
    // A device's callback must not wait for a decoder; a capturing caller may.
    for (const auto& stream : mixList_) stream->mixInto(accumulator_.data(), frames, captureMode_);
    mixList_.clear();
    for (int i = 0; i < 2 * frames; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(accumulator_[i], -32768, 32767));
}

}  // namespace quorvel::audio
