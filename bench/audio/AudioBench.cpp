// The audio thread's work per device buffer (1024 frames) for each kind of file, in frames mixed
// per second (divide by 44100 for the multiple of real time), the cost of the start position
// that playing the music sets (exact in MP3 by seeking, in Ogg from the samples held in memory),
// and seeking in a five-minute Ogg stream: held in memory, and beyond the memory cap, where a seek
// decodes up to its target. The seeks report how far the first frame heard lies from the target
// (frame_error, 0 when exact) against the file reader's own decoding.
#include "platform/audio/AudioSystem.h"
#include "platform/audio/bass.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

// `seconds` of a two-tone signal, written once per format and length into a temporary folder.
std::string musicFile(const std::string& extension, int format, int rate, int channels, long seconds = 90) {
    static std::map<std::string, std::string> made;
    static std::string folder;
    const std::string key = extension + std::to_string(rate) + std::to_string(channels) + "-" + std::to_string(seconds);
    if (auto it = made.find(key); it != made.end()) return it->second;
    if (folder.empty()) {
        char pattern[] = "/tmp/quorvel-bench-XXXXXX";
        folder = mkdtemp(pattern);
    }
    const std::string path = folder + "/" + key + "." + extension;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const long frames = seconds * rate;
    std::vector<short> samples(static_cast<size_t>(frames) * channels);
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(i * channels + c)] = static_cast<short>(
                8000 * std::sin(i * 0.0627) + 6000 * std::sin(i * 0.0211 * (c + 1)));
    // libsndfile's Vorbis encoder crashes on very large single writes; hand it pieces.
    for (long at = 0; at < frames; at += 4096)
        sf_writef_short(file, samples.data() + at * channels, std::min(4096L, frames - at));
    sf_close(file);
    made[key] = path;
    return path;
}

struct CaptureSession {
    CaptureSession() {
        BASS_SetCaptureMode(TRUE);
        BASS_Init(-1, 44100, 0, nullptr);
        BASS_Start();
    }
    ~CaptureSession() { BASS_Free(); }
};

// Opens the file as the show opens its music; when it does not open, the benchmark is skipped
// and the stream is 0.
HSTREAM openMusic(benchmark::State& state, const std::string& path) {
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_MP3_SETPOS);
    if (stream == 0) state.SkipWithError("stream did not open");
    return stream;
}

void mixFile(benchmark::State& state, const std::string& path) {
    CaptureSession session;
    const HSTREAM stream = openMusic(state, path);
    if (stream == 0) return;
    BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP);
    std::vector<short> out(1024 * 2);
    for (auto _ : state) {
        BASS_MixOutput(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}

void BM_MixWav44100Stereo(benchmark::State& state) {
    mixFile(state, musicFile("wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2));
}
void BM_MixWav22050MonoResampled(benchmark::State& state) {
    mixFile(state, musicFile("wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1));
}
void BM_MixMp3(benchmark::State& state) {
    mixFile(state, musicFile("mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2));
}
void BM_MixOggVorbis(benchmark::State& state) {
    mixFile(state, musicFile("ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2));
}
BENCHMARK(BM_MixWav44100Stereo);
BENCHMARK(BM_MixWav22050MonoResampled);
BENCHMARK(BM_MixMp3);
BENCHMARK(BM_MixOggVorbis);

// Positioning at 60 s and mixing the first buffer from there: what starting the music costs the
// audio thread.
void startAt60Seconds(benchmark::State& state, const std::string& path) {
    CaptureSession session;
    const HSTREAM stream = openMusic(state, path);
    if (stream == 0) return;
    std::vector<short> out(1024 * 2);
    for (auto _ : state) {
        BASS_ChannelSetPosition(stream, 60u * 44100u * 4u);
        BASS_StreamPlay(stream, FALSE, 0);
        BASS_MixOutput(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
}
void BM_StartAt60sMp3(benchmark::State& state) {
    startAt60Seconds(state, musicFile("mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2));
}
void BM_StartAt60sOgg(benchmark::State& state) {
    startAt60Seconds(state, musicFile("ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2));
}
BENCHMARK(BM_StartAt60sMp3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartAt60sOgg)->Unit(benchmark::kMillisecond);

// The whole file as the file reader decodes it, at full scale: the reference for the seeks.
std::vector<short> referenceSamples(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    std::vector<short> samples(static_cast<size_t>(info.frames) * info.channels);
    samples.resize(static_cast<size_t>(sf_readf_short(file, samples.data(), info.frames)) * info.channels);
    sf_close(file);
    return samples;
}

// Frames between where the heard stereo buffer is found in the reference near `target` and the
// target itself (the smallest offset within +-4096 whose samples all match to one step).
long frameError(const std::vector<short>& reference, const std::vector<short>& heard, long target) {
    const long frames = static_cast<long>(heard.size() / 2);
    const long total = static_cast<long>(reference.size() / 2);
    for (long distance = 0; distance <= 4096; ++distance) {
        for (const long at : {target - distance, target + distance}) {
            if (at < 0 || at + frames > total) continue;
            bool same = true;
            for (long i = 0; i < 2 * frames && same; ++i)
                same = std::abs(reference[static_cast<size_t>(2 * at + i)] - heard[static_cast<size_t>(i)]) <= 1;
            if (same) return distance;
        }
    }
    return 1'000'000;  // not found nearby
}

// Seeks in a five-minute Ogg stream to places all over it, each followed by the first buffer
// heard from there, as a press of an arrow key does.
void seekInFiveMinuteOgg(benchmark::State& state, std::uint64_t memoryCap) {
    const std::string path = musicFile("ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 300);
    const std::vector<short> reference = referenceSamples(path);
    CaptureSession session;
    quorvel::audio::AudioSystem::instance().setMemoryCap(memoryCap);
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_MP3_SETPOS);
    quorvel::audio::AudioSystem::instance().setMemoryCap(quorvel::audio::DecodedStream::kDefaultMemoryCap);
    if (stream == 0) {
        state.SkipWithError("stream did not open");
        return;
    }
    quorvel::audio::AudioSystem::instance().find(stream)->heldInMemory();  // loading is not a seek
    const long targets[] = {290L * 44100 + 17, 10L * 44100 + 3, 150L * 44100 + 1001, 200L * 44100};
    std::vector<short> out(1024 * 2);
    long worstError = 0;
    size_t next = 0;
    for (auto _ : state) {
        const long target = targets[next++ % std::size(targets)];
        BASS_ChannelSetPosition(stream, static_cast<DWORD>(target * 4));
        BASS_StreamPlay(stream, FALSE, 0);
        BASS_MixOutput(out.data(), 1024);
        state.PauseTiming();
        worstError = std::max(worstError, frameError(reference, out, target));
        state.ResumeTiming();
    }
    state.counters["frame_error"] = static_cast<double>(worstError);
}
void BM_SeekIn5MinuteOggInMemory(benchmark::State& state) {
    seekInFiveMinuteOgg(state, quorvel::audio::DecodedStream::kDefaultMemoryCap);
}
void BM_SeekIn5MinuteOggBeyondTheCap(benchmark::State& state) { seekInFiveMinuteOgg(state, 1); }
BENCHMARK(BM_SeekIn5MinuteOggInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeekIn5MinuteOggBeyondTheCap)->Unit(benchmark::kMillisecond)->Iterations(4);

// Opening a five-minute Ogg stream until its samples are in memory: the background work that
// loading a show's music starts.
void BM_Load5MinuteOggIntoMemory(benchmark::State& state) {
    const std::string path = musicFile("ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 300);
    CaptureSession session;
    for (auto _ : state) {
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_MP3_SETPOS);
        benchmark::DoNotOptimize(quorvel::audio::AudioSystem::instance().find(stream)->heldInMemory());
        BASS_StreamFree(stream);
    }
}
BENCHMARK(BM_Load5MinuteOggIntoMemory)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
