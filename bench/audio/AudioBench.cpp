// The audio thread's work per device buffer (1024 frames) for each kind of file, in frames mixed
// per second (divide by 44100 for the multiple of real time), and the cost of the start position
// that playing the music sets: exact in MP3 by seeking, in Ogg by decoding up to it.
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

// Ninety seconds of a two-tone signal, written once per format into a temporary folder.
std::string musicFile(const std::string& extension, int format, int rate, int channels) {
    static std::map<std::string, std::string> made;
    static std::string folder;
    const std::string key = extension + std::to_string(rate) + std::to_string(channels);
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
    const long frames = 90L * rate;
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

}  // namespace
