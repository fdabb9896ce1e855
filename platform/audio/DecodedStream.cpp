#include "platform/audio/DecodedStream.h"

#include <algorithm>
#include <limits>

namespace quorvel::audio {
namespace {

bool isIntegerPcm(int subtype) {
    return subtype == SF_FORMAT_PCM_S8 || subtype == SF_FORMAT_PCM_U8 || subtype == SF_FORMAT_PCM_16 ||
           subtype == SF_FORMAT_PCM_24 || subtype == SF_FORMAT_PCM_32;
}

bool isEightBit(int format) {
    const int subtype = format & SF_FORMAT_SUBMASK;
    return subtype == SF_FORMAT_PCM_S8 || subtype == SF_FORMAT_PCM_U8;
}

// Adds frames of one or two channels to the stereo accumulator; mono goes to both sides.
void addFrames(std::int32_t* accumulator, const std::int16_t* samples, int frames, int channels) {
    if (channels == 1) {
        for (int i = 0; i < frames; ++i) {
            accumulator[2 * i] += samples[i];
            accumulator[2 * i + 1] += samples[i];
        }
    } else {
        for (int i = 0; i < 2 * frames; ++i) accumulator[i] += samples[i];
    }
}

}  // namespace

std::unique_ptr<DecodedStream> DecodedStream::open(const char* path, int& error, std::uint64_t memoryCap) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr) {
        error = sf_error(nullptr) == SF_ERR_UNRECOGNISED_FORMAT ? BASS_ERROR_FORMAT
                                                                 : BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 0 ||
        info.frames == std::numeric_limits<sf_count_t>::max()) {
        sf_close(file);
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    std::unique_ptr<DecodedStream> stream(new DecodedStream());
    stream->file_ = file;
    stream->fileChannels_ = info.channels;
    stream->rate_ = static_cast<DWORD>(info.samplerate);
    stream->mono_ = info.channels == 1;
    stream->eightBit_ = isEightBit(info.format);
    stream->frames_ = static_cast<std::uint64_t>(info.frames);
    // libsndfile's seeking in Ogg streams misses its target by up to a few thousand frames;
    // its PCM, FLAC and MPEG seeking is exact.
    stream->exactSeek_ = (info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_OGG;

    const int channels = static_cast<int>(stream->channels());
    stream->readBuffer_.resize(static_cast<size_t>(kChunkFrames) * channels);
    if (info.channels > 2) stream->fileBuffer_.resize(static_cast<size_t>(kChunkFrames) * info.channels);
    if (stream->rate_ != BASS_OUTPUT_RATE) {
        stream->converter_ = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(channels),
                                                info.samplerate, AUDIO_S16SYS, 2,
                                                static_cast<int>(BASS_OUTPUT_RATE));
        if (stream->converter_ == nullptr) {
            error = BASS_ERROR_FORMAT;
            return nullptr;
        }
        stream->convertedBuffer_.resize(static_cast<size_t>(kChunkFrames) * 2);
    }
    stream->startDecoder(memoryCap, info.format & SF_FORMAT_SUBMASK);
    error = BASS_OK;
    return stream;
}

void DecodedStream::startDecoder(std::uint64_t memoryCap, int subtype) {
    if (isIntegerPcm(subtype)) {
        // Integer samples read as they are: there is no scale to find, the file is ready now.
        ready_.store(true, std::memory_order_release);
        return;
    }
    const bool lossyOgg = !exactSeek_ && (subtype == SF_FORMAT_VORBIS || subtype == SF_FORMAT_OPUS);
    const bool toMemory = lossyOgg && memoryBytes(frames_, static_cast<int>(channels())) <= memoryCap;
    decoder_ = std::async(std::launch::async, [this, toMemory] {
        if (toMemory) {
            memory_ = decodeIntoMemory(file_, fileChannels_, static_cast<int>(channels()), frames_, cancel_);
            inMemory_ = memory_.frames == frames_;
            if (!inMemory_) sf_seek(file_, 0, SEEK_SET);  // no memory for it: read the file as before
        }
        // Files holding floating-point data (float WAV, and the lossy codecs) read as full-scale
        // 16-bit samples rather than as tiny integers; finding that scale decodes the whole file.
        if (!inMemory_ && !cancel_.load()) sf_command(file_, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
        ready_.store(true, std::memory_order_release);
    }).share();
}

DecodedStream::~DecodedStream() {
    cancel_.store(true);
    if (decoder_.valid()) decoder_.wait();
    if (converter_ != nullptr) SDL_FreeAudioStream(converter_);
    if (file_ != nullptr) sf_close(file_);
}

DWORD DecodedStream::lengthBytes() const {
    const std::uint64_t bytes = frames_ * bytesPerFrame();
    return bytes > 0xFFFFFFFEull ? 0xFFFFFFFEu : static_cast<DWORD>(bytes);
}

DWORD DecodedStream::flags() const {
    DWORD result = 0;
    if (eightBit_) result |= BASS_SAMPLE_8BITS;
    if (mono_) result |= BASS_SAMPLE_MONO;
    if (loop_.load()) result |= BASS_SAMPLE_LOOP;
    return result;
}

void DecodedStream::play(bool flush, bool loop) {
    loop_.store(loop);
    if (flush) pendingFrame_.store(0);
    playing_.store(true);
}

void DecodedStream::stop() { playing_.store(false); }

bool DecodedStream::requestPosition(std::uint64_t frame) {
    if (frame > frames_) return false;
    pendingFrame_.store(static_cast<std::int64_t>(frame));
    return true;
}

std::uint64_t DecodedStream::positionFrame() const {
    const std::int64_t pending = pendingFrame_.load();
    return pending >= 0 ? static_cast<std::uint64_t>(pending) : frame_.load();
}

void DecodedStream::addEndSync(HSYNC sync, SYNCPROC* proc, DWORD user, DWORD channel) {
    std::lock_guard lock(decodeMutex_);
    syncs_.push_back({sync, proc, user, channel});
}

bool DecodedStream::heldInMemory() {
    if (decoder_.valid()) decoder_.wait();
    return inMemory_;
}

void DecodedStream::mixInto(std::int32_t* accumulator, int frameCount, bool mayWait) {
    frameCount = std::min(frameCount, kChunkFrames);
    if (!ready_.load(std::memory_order_acquire)) {
        if (!mayWait) {
            skipSilently(frameCount);
            return;
        }
        decoder_.wait();
    }
    std::lock_guard lock(decodeMutex_);
    const std::int64_t pending = pendingFrame_.exchange(-1);
    if (pending >= 0)
        seekTo(static_cast<std::uint64_t>(pending));
    else if (readAt_ != frame_.load())
        seekTo(frame_.load());
    if (!playing_.load()) return;
    if (converter_ == nullptr)
        mixDirect(accumulator, frameCount);
    else
        mixConverted(accumulator, frameCount);
}

void DecodedStream::skipSilently(int frameCount) {
    std::lock_guard lock(decodeMutex_);
    const std::int64_t pending = pendingFrame_.exchange(-1);
    if (pending >= 0) frame_.store(static_cast<std::uint64_t>(pending));
    if (!playing_.load()) return;
    std::uint64_t frame = frame_.load() + static_cast<std::uint64_t>(frameCount);
    if (frame >= frames_) {
        for (const EndSync& s : syncs_) s.proc(s.sync, s.channel, 0, s.user);
        if (loop_.load() && frames_ > 0) {
            frame %= frames_;
        } else {
            frame = frames_;
            playing_.store(false);
        }
    }
    frame_.store(frame);
}

void DecodedStream::seekTo(std::uint64_t frame) {
    if (inMemory_ || exactSeek_) {
        if (!inMemory_) sf_seek(file_, static_cast<sf_count_t>(frame), SEEK_SET);
        readAt_ = frame;
    } else {
        // Seeking lands near the frame but not on it: decode up to it from the start instead,
        // or from where the reader is when that is before it.
        if (readAt_ > frame) {
            sf_seek(file_, 0, SEEK_SET);
            readAt_ = 0;
        }
        while (readAt_ < frame) {
            const int piece = static_cast<int>(std::min<std::uint64_t>(frame - readAt_, kChunkFrames));
            if (readFrames(readBuffer_.data(), piece) <= 0) break;
        }
        readAt_ = frame;
    }
    frame_.store(frame);
    if (converter_ != nullptr) SDL_AudioStreamClear(converter_);
    draining_ = false;
}

int DecodedStream::readFrames(std::int16_t* out, int count) {
    int got = 0;
    if (inMemory_) {
        got = static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(count), frames_ - readAt_));
        std::copy_n(memory_.frame(readAt_), static_cast<size_t>(got) * channels(), out);
    } else if (fileChannels_ <= 2) {
        got = static_cast<int>(sf_readf_short(file_, out, count));
    } else {
        got = static_cast<int>(sf_readf_short(file_, fileBuffer_.data(), count));
        for (int i = 0; i < got; ++i) {
            out[2 * i] = fileBuffer_[static_cast<size_t>(i) * fileChannels_];
            out[2 * i + 1] = fileBuffer_[static_cast<size_t>(i) * fileChannels_ + 1];
        }
    }
    if (got > 0) readAt_ += static_cast<std::uint64_t>(got);
    return got;
}

bool DecodedStream::reachedEnd() {
    for (const EndSync& s : syncs_) s.proc(s.sync, s.channel, 0, s.user);
    if (!loop_.load()) return false;
    // Looping continues straight into the converter, so a resampled loop has no seam.
    if (!inMemory_) sf_seek(file_, 0, SEEK_SET);
    readAt_ = 0;
    frame_.store(0);
    return true;
}

int DecodedStream::mixDirect(std::int32_t* accumulator, int frameCount) {
    const int channels = static_cast<int>(this->channels());
    int produced = 0;
    bool justLooped = false;
    while (produced < frameCount) {
        const int got = readFrames(readBuffer_.data(), frameCount - produced);
        if (got > 0) {
            addFrames(accumulator + 2 * produced, readBuffer_.data(), got, channels);
            produced += got;
            frame_.fetch_add(static_cast<std::uint64_t>(got));
            justLooped = false;
            continue;
        }
        // A looping stream without any data would spin here for ever.
        if (justLooped || !reachedEnd()) {
            playing_.store(false);
            break;
        }
        justLooped = true;
    }
    return produced;
}

int DecodedStream::mixConverted(std::int32_t* accumulator, int frameCount) {
    const int channels = static_cast<int>(this->channels());
    int produced = 0;
    bool justLooped = false;
    while (produced < frameCount) {
        const int available = SDL_AudioStreamAvailable(converter_) / 4;
        if (available > 0) {
            const int wanted = std::min(available, frameCount - produced);
            const int got = SDL_AudioStreamGet(converter_, convertedBuffer_.data(), wanted * 4) / 4;
            if (got <= 0) break;
            addFrames(accumulator + 2 * produced, convertedBuffer_.data(), got, 2);
            produced += got;
            continue;
        }
        if (draining_) {
            // Everything up to the end has been heard.
            draining_ = false;
            playing_.store(false);
            break;
        }
        const int got = readFrames(readBuffer_.data(), kChunkFrames);
        if (got > 0) {
            SDL_AudioStreamPut(converter_, readBuffer_.data(), got * channels * 2);
            frame_.fetch_add(static_cast<std::uint64_t>(got));
            justLooped = false;
            continue;
        }
        if (justLooped) {
            playing_.store(false);
            break;
        }
        if (reachedEnd()) {
            justLooped = true;
        } else {
            // The resampler holds back the last few hundred frames it was given, and flushing
            // alone does not give them out; silence after the end pushes them through.
            std::fill(readBuffer_.begin(), readBuffer_.end(), 0);
            SDL_AudioStreamPut(converter_, readBuffer_.data(),
                               static_cast<int>(readBuffer_.size() * sizeof(std::int16_t)));
            SDL_AudioStreamFlush(converter_);
            draining_ = true;
        }
    }
    return produced;
}

}  // namespace quorvel::audio
