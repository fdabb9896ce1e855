// The audio library on real files, rendered in capture mode (no device): what each format reports,
// where playing starts, looping, stopping, resampling and exact seeking in compressed files.
#include "platform/audio/bass.h"

#include "music/MusicPlayer.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/MemoryDecode.h"
#include "platform/audio/WavCapture.h"
#include "music/TestAudioFiles.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace quorvel {
namespace {

using testing::decodeFile;
using testing::patternSamples;
using testing::sineSamples;
using testing::writeAudioFile;

std::atomic<int> endSyncs{0};
std::atomic<DWORD> endSyncChannel{0};
void countEnd(HSYNC, DWORD channel, DWORD, DWORD user) {
    endSyncs += static_cast<int>(user);
    endSyncChannel = channel;
}

std::vector<std::int16_t> mix(DWORD frames) {
    std::vector<std::int16_t> out(frames * 2, 0x5555);
    EXPECT_EQ(BASS_MixOutput(out.data(), frames), frames);
    return out;
}

// Interleaved stereo frames [first, first + count) of a stereo sample vector.
std::vector<std::int16_t> framesOf(const std::vector<std::int16_t>& samples, size_t first, size_t count) {
    return {samples.begin() + 2 * first, samples.begin() + 2 * (first + count)};
}

std::vector<std::int16_t> concat(std::vector<std::int16_t> a, const std::vector<std::int16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class AudioStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        BASS_SetCaptureMode(TRUE);
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
        endSyncs = 0;
    }
    void TearDown() override {
        BASS_Free();
        BASS_SetCaptureMode(FALSE);
    }

    std::string file(const std::string& name) const { return dir.path() + "/" + name; }

    HSTREAM open(const std::string& path) {
        const HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_MP3_SETPOS);
        EXPECT_NE(stream, 0u) << path << " error " << BASS_ErrorGetCode();
        return stream;
    }

    testing::TempDir dir;
};

TEST_F(AudioStreamTest, FormatsReportDecodedLengthRateAndFlags) {
    struct Case {
        const char* name;
        int format, rate, channels;
        std::int64_t frames;
        DWORD flags;
        int bytesPerSample;
    };
    const Case cases[] = {
        {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 10000, 0, 2},
        {"pcm8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, 1, 3001, BASS_SAMPLE_8BITS | BASS_SAMPLE_MONO, 1},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 4800, 0, 2},
        {"mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 48000, 1, 12345, BASS_SAMPLE_MONO, 2},
        {"music.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 44100, 0, 2},
        {"music.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 44100, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeAudioFile(file(c.name), c.format, c.rate, c.channels,
                       sineSamples(c.frames, c.channels, c.rate, 440.0));
        const HSTREAM stream = open(file(c.name));
        ASSERT_NE(stream, 0u);
        // The length is that of the data the stream really decodes to.
        int channels = 0;
        const std::vector<std::int16_t> decoded = decodeFile(file(c.name), channels);
        const DWORD decodedFrames = static_cast<DWORD>(decoded.size()) / static_cast<DWORD>(channels);
        EXPECT_EQ(BASS_StreamGetLength(stream), decodedFrames * c.channels * c.bytesPerSample);
        if ((c.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV ||
            (c.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC)
            EXPECT_EQ(decodedFrames, static_cast<DWORD>(c.frames));
        else  // lossy codecs keep the length to within a frame of padding
            EXPECT_NEAR(static_cast<double>(decodedFrames), static_cast<double>(c.frames), 1152.0);
        DWORD rate = 0, volume = 0;
        int pan = 7;
        EXPECT_TRUE(BASS_ChannelGetAttributes(stream, &rate, &volume, &pan));
        EXPECT_EQ(rate, static_cast<DWORD>(c.rate));
        EXPECT_EQ(volume, 100u);
        EXPECT_EQ(pan, 0);
        EXPECT_EQ(BASS_ChannelGetFlags(stream), c.flags);
        EXPECT_TRUE(BASS_StreamFree(stream));
        EXPECT_EQ(BASS_StreamGetLength(stream), 0xFFFFFFFFu);
    }
}

TEST_F(AudioStreamTest, OpeningFailuresGiveNoStreamAndTheirError) {
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, file("missing.wav").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    const std::string junk = dir.write("junk.mp3", std::string(5000, 'j'));
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, junk.c_str(), 0, 0, 0), 0u);
    EXPECT_NE(BASS_ErrorGetCode(), BASS_OK);
    writeAudioFile(file("ok.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, patternSamples(100, 2));
    EXPECT_EQ(BASS_StreamCreateFile(TRUE, file("ok.wav").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, file("ok.wav").c_str(), 4, 0, 0), 0u);
    // Unknown handles are refused.
    EXPECT_FALSE(BASS_StreamPlay(999, FALSE, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelSetPosition(999, 0));
    EXPECT_EQ(BASS_ChannelSetSync(999, BASS_SYNC_END, 0, &countEnd, 0), 0u);
    // A second initialisation is refused; after BASS_Free no stream can be made.
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    BASS_Free();
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, file("ok.wav").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_MixOutput(nullptr, 0), 0u);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
}

TEST_F(AudioStreamTest, PositionIsInBytesAndBoundedByTheLength) {
    writeAudioFile(file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, patternSamples(1000, 2));
    const HSTREAM stream = open(file("a.wav"));
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 0u);
    EXPECT_TRUE(BASS_ChannelSetPosition(stream, 402));  // inside frame 100
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 400u);
    EXPECT_TRUE(BASS_ChannelSetPosition(stream, 4000));  // the very end
    EXPECT_FALSE(BASS_ChannelSetPosition(stream, 4004));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 4000u);
}

TEST_F(AudioStreamTest, PlaysFromThePositionAndLoopsFromTheBeginning) {
    const auto samples = patternSamples(10000, 2);
    writeAudioFile(file("loop.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, samples);
    const HSTREAM stream = open(file("loop.wav"));
    EXPECT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, &countEnd, 1), 0u);
    EXPECT_TRUE(BASS_ChannelSetPosition(stream, 6000 * 4));
    // Nothing is heard or consumed before the output starts.
    EXPECT_TRUE(BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP));
    EXPECT_EQ(mix(500), std::vector<std::int16_t>(1000, 0));
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 6000u * 4);
    EXPECT_TRUE(BASS_Start());
    EXPECT_EQ(BASS_ChannelGetFlags(stream), BASS_SAMPLE_LOOP);

    const auto heard = mix(4000 + 10000 + 500);
    const auto expected = concat(concat(framesOf(samples, 6000, 4000), samples), framesOf(samples, 0, 500));
    EXPECT_TRUE(heard == expected);
    EXPECT_EQ(endSyncs.load(), 2);
    EXPECT_EQ(endSyncChannel.load(), stream);
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 500u * 4);
}

TEST_F(AudioStreamTest, WithoutLoopTheStreamEndsInSilence) {
    const auto samples = patternSamples(3000, 2);
    writeAudioFile(file("once.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, samples);
    const HSTREAM stream = open(file("once.wav"));
    BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, &countEnd, 1);
    BASS_Start();
    BASS_StreamPlay(stream, FALSE, 0);
    const auto heard = mix(5000);
    EXPECT_TRUE(framesOf(heard, 0, 3000) == samples);
    EXPECT_EQ(framesOf(heard, 3000, 2000), std::vector<std::int16_t>(4000, 0));
    EXPECT_EQ(endSyncs.load(), 1);
    // Playing again with flush starts over.
    BASS_StreamPlay(stream, TRUE, 0);
    EXPECT_TRUE(mix(3000) == samples);
}

TEST_F(AudioStreamTest, StopKeepsThePlaceAndPauseHoldsEverything) {
    const auto samples = patternSamples(6000, 2);
    writeAudioFile(file("s.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, samples);
    const HSTREAM stream = open(file("s.wav"));
    BASS_Start();
    BASS_StreamPlay(stream, FALSE, 0);
    EXPECT_TRUE(mix(1000) == framesOf(samples, 0, 1000));
    EXPECT_TRUE(BASS_ChannelStop(stream));
    EXPECT_EQ(mix(200), std::vector<std::int16_t>(400, 0));
    BASS_StreamPlay(stream, FALSE, 0);
    EXPECT_TRUE(mix(1000) == framesOf(samples, 1000, 1000));
    EXPECT_TRUE(BASS_Pause());
    EXPECT_EQ(mix(200), std::vector<std::int16_t>(400, 0));
    BASS_Start();
    EXPECT_TRUE(mix(1000) == framesOf(samples, 2000, 1000));
    // A freed stream is silent at once.
    EXPECT_TRUE(BASS_StreamFree(stream));
    EXPECT_EQ(mix(100), std::vector<std::int16_t>(200, 0));
}

TEST_F(AudioStreamTest, StreamsAreAddedAndClipped) {
    writeAudioFile(file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                   std::vector<std::int16_t>(200, 20000));
    writeAudioFile(file("b.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                   std::vector<std::int16_t>(100, -5000));
    const HSTREAM a = open(file("a.wav"));
    const HSTREAM b = open(file("b.wav"));
    BASS_Start();
    BASS_StreamPlay(a, FALSE, 0);
    BASS_StreamPlay(b, FALSE, 0);
    EXPECT_EQ(mix(100), std::vector<std::int16_t>(200, 15000));
    // Both have ended; two full-scale streams together clip instead of wrapping round.
    BASS_StreamPlay(a, TRUE, 0);
    const HSTREAM c = open(file("a.wav"));
    BASS_StreamPlay(c, FALSE, 0);
    EXPECT_EQ(mix(50), std::vector<std::int16_t>(100, 32767));
}

TEST_F(AudioStreamTest, OtherRatesAreResampledAndMonoFillsBothSides) {
    // One second of a 441 Hz tone at 22050 Hz mono.
    writeAudioFile(file("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1,
                   sineSamples(22050, 1, 22050, 441.0));
    const HSTREAM stream = open(file("tone.wav"));
    BASS_Start();
    BASS_StreamPlay(stream, FALSE, 0);
    const auto heard = mix(44100 + 4410);
    int crossings = 0, peak = 0;
    for (size_t i = 0; i < 44100; ++i) {
        ASSERT_EQ(heard[2 * i], heard[2 * i + 1]) << "frame " << i;
        peak = std::max(peak, std::abs(static_cast<int>(heard[2 * i])));
        if (i > 0 && (heard[2 * i - 2] < 0) != (heard[2 * i] < 0)) ++crossings;
    }
    EXPECT_NEAR(crossings, 882, 6);  // 441 periods in one second at the output rate
    EXPECT_NEAR(peak, 16000, 400);
    // The tail after the end of the one second is silence, and the stream has stopped.
    for (size_t i = 44100 + 400; i < 44100 + 4410; ++i) ASSERT_EQ(heard[2 * i], 0) << "frame " << i;
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 22050u * 2);
}

TEST_F(AudioStreamTest, CaptureWritesTheMixedOutputToAWavFile) {
    const auto samples = patternSamples(3000, 2);
    writeAudioFile(file("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, samples);
    const HSTREAM stream = open(file("in.wav"));
    BASS_ChannelSetPosition(stream, 1000 * 4);
    BASS_Start();
    BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP);
    {
        audio::WavCapture capture;
        ASSERT_TRUE(capture.open(file("out.wav")));
        ASSERT_TRUE(capture.render(5000));
        ASSERT_TRUE(capture.render(1000));
        EXPECT_EQ(capture.framesWritten(), 6000u);
    }
    int channels = 0;
    const auto written = decodeFile(file("out.wav"), channels);
    EXPECT_EQ(channels, 2);
    EXPECT_TRUE(written == concat(concat(framesOf(samples, 1000, 2000), samples), framesOf(samples, 0, 1000)));
    EXPECT_FALSE(audio::WavCapture().open(dir.path() + "/no/such/folder/out.wav"));
}

// Within one step of 16-bit rounding: Ogg streams held in memory are scaled to full scale by the
// player, which may round a sample differently from the file reader's own scaled reading.
bool withinRounding(const std::vector<std::int16_t>& heard, const std::vector<std::int16_t>& expected) {
    if (heard.size() != expected.size()) return false;
    for (size_t i = 0; i < heard.size(); ++i)
        if (std::abs(heard[i] - expected[i]) > 1) return false;
    return true;
}

// Ogg streams are held in memory within the cap and read from the file beyond it; either way a
// seek lands on the exact frame, also backwards and after playing through the loop.
TEST_F(AudioStreamTest, CompressedStreamsSeekExactly) {
    struct Case {
        const char* name;
        int format;
        std::uint64_t memoryCap;
        bool inMemory;
    };
    const Case cases[] = {
        {"seek.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, audio::DecodedStream::kDefaultMemoryCap, false},
        {"seek.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, audio::DecodedStream::kDefaultMemoryCap, true},
        {"seek.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 400000, false},  // 3 s take 529,200 bytes
    };
    writeAudioFile(file("seek.mp3"), cases[0].format, 44100, 2, sineSamples(3 * 44100, 2, 44100, 1000.0));
    writeAudioFile(file("seek.ogg"), cases[1].format, 44100, 2, sineSamples(3 * 44100, 2, 44100, 1000.0));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.inMemory ? " in memory" : " from the file"));
        int channels = 0;
        const auto decoded = decodeFile(file(c.name), channels);
        ASSERT_EQ(channels, 2);
        audio::AudioSystem::instance().setMemoryCap(c.memoryCap);
        const HSTREAM stream = open(file(c.name));
        audio::AudioSystem::instance().setMemoryCap(audio::DecodedStream::kDefaultMemoryCap);
        EXPECT_EQ(audio::AudioSystem::instance().find(stream)->heldInMemory(), c.inMemory);
        BASS_Start();
        for (const size_t frame : {size_t{70001}, size_t{1234}, size_t{100000}}) {
            EXPECT_TRUE(BASS_ChannelSetPosition(stream, static_cast<DWORD>(frame * 4)));
            BASS_StreamPlay(stream, FALSE, 0);
            EXPECT_TRUE(withinRounding(mix(2000), framesOf(decoded, frame, 2000))) << "from frame " << frame;
            BASS_ChannelStop(stream);
        }
        const size_t length = decoded.size() / 2;
        BASS_ChannelSetPosition(stream, static_cast<DWORD>((length - 1000) * 4));
        BASS_StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP);
        EXPECT_TRUE(withinRounding(mix(3000), concat(framesOf(decoded, length - 1000, 1000), framesOf(decoded, 0, 2000))));
        BASS_StreamFree(stream);
    }
}

// A device's mixing never waits for a decoder still at work: the stream keeps its place in time
// silently and sounds from there once ready.
TEST_F(AudioStreamTest, MixingWithoutWaitingKeepsTheStreamsPlaceInTime) {
    writeAudioFile(file("late.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, sineSamples(20 * 44100, 2, 44100, 500.0));
    int channels = 0;
    const auto decoded = decodeFile(file("late.ogg"), channels);
    int error = 0;
    auto stream = audio::DecodedStream::open(file("late.ogg").c_str(), error);
    ASSERT_TRUE(stream);
    stream->requestPosition(44100);
    stream->play(false, true);
    std::vector<std::int32_t> accumulator(2 * audio::DecodedStream::kChunkFrames);
    stream->mixInto(accumulator.data(), 1000, false);
    EXPECT_EQ(stream->positionFrame(), 45100u);
    ASSERT_TRUE(stream->heldInMemory());
    std::fill(accumulator.begin(), accumulator.end(), 0);
    stream->mixInto(accumulator.data(), 500, false);
    const auto expected = framesOf(decoded, 45100, 500);
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_NEAR(accumulator[i], expected[i], 1) << "sample " << i;
}

// Float files play at full scale, which needs the whole file scanned first. Opening does not wait
// for that scan; the first mix, coming straight after, must still hear the scaled samples.
TEST_F(AudioStreamTest, QuietFloatFilesPlayAtFullScaleFromTheFirstMix) {
    std::vector<std::int16_t> quiet = sineSamples(30 * 44100, 2, 44100, 440.0);
    for (std::int16_t& sample : quiet) sample = static_cast<std::int16_t>(sample / 64);
    writeAudioFile(file("quiet.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, quiet);
    int channels = 0;
    const auto decoded = decodeFile(file("quiet.wav"), channels);
    ASSERT_EQ(channels, 2);
    const HSTREAM stream = open(file("quiet.wav"));
    BASS_Start();
    BASS_StreamPlay(stream, FALSE, 0);
    const auto played = mix(4000);
    EXPECT_TRUE(played == framesOf(decoded, 0, 4000));
    int peak = 0;
    for (std::int16_t sample : played) peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_GT(peak, 30000);  // scaled up from about 256
}

// The music player on the real library: start positions computed from real files' lengths.
class MusicOnRealFilesTest : public ::testing::Test {
protected:
    void SetUp() override { BASS_SetCaptureMode(TRUE); }
    void TearDown() override {
        player.Close();
        BASS_SetCaptureMode(FALSE);
    }
    testing::TempDir dir;
    testing::CapturedReports reports;
    MusicPlayer player;
};

TEST_F(MusicOnRealFilesTest, HundredAndAHalfSecondsStartTenSecondsIn) {
    // 100.5 s of 16-bit stereo: 100 whole seconds of 177,282 bytes each.
    writeAudioFile(dir.path() + "/data/long.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                   std::vector<std::int16_t>(4'432'050 * 2, 100));
    ASSERT_EQ(player.Open(dir.path() + "/data/", "LONG.WAV"), S_OK);
    player.Play(10);
    EXPECT_EQ(BASS_ChannelGetPosition(player.stream), 1'772'820u);
    EXPECT_EQ(BASS_ChannelGetFlags(player.stream), BASS_SAMPLE_LOOP);
    EXPECT_TRUE(reports.boxes.empty());
}

TEST_F(MusicOnRealFilesTest, EightBitMonoUsesOneBytePerSample) {
    // 100.5 s of 8-bit mono: 4,432,050 bytes, 44,320 per whole second (rounded down).
    writeAudioFile(dir.path() + "/data/voice.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 44100, 1,
                   std::vector<std::int16_t>(4'432'050, 256));
    ASSERT_EQ(player.Open(dir.path() + "/data/", "voice.wav"), S_OK);
    EXPECT_EQ(BASS_ChannelGetFlags(player.stream), BASS_SAMPLE_8BITS | BASS_SAMPLE_MONO);
    player.Play(10);
    EXPECT_EQ(BASS_ChannelGetPosition(player.stream), 443'200u);
    // The stream plays at once from that place.
    std::vector<std::int16_t> out(200);
    EXPECT_EQ(BASS_MixOutput(out.data(), 100), 100u);
    EXPECT_EQ(out, std::vector<std::int16_t>(200, 256));
}

TEST_F(MusicOnRealFilesTest, MissingFileStillReleasesTheDevice) {
    EXPECT_EQ(player.Open(dir.path() + "/data/", "gone.mp3"), E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text,
              "BASS CAN'T PLAY THE FILE, Does " + dir.path() + "/data/gone.mp3 exist?");
    player.Close();
    // Released: the library can be initialised again.
    EXPECT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
    BASS_Free();
}

}  // namespace
}  // namespace quorvel

namespace quorvel::audio {
namespace {

// The decoder's inline narrowing must give exactly what rounding with lrintf and clamping gave.
TEST(SampleNarrowing, MatchesLibraryRoundingEverywhere) {
    auto reference = [](float x) {
        return static_cast<std::int16_t>(std::clamp(std::lrintf(x), -32768L, 32767L));
    };
    // Every quarter step across the range and past both ends: the ties at .5 included.
    for (float x = -33000.0f; x <= 33000.0f; x += 0.25f) ASSERT_EQ(narrowSample(x), reference(x)) << x;
    // Neighbours of the halves where rounding turns, and values far outside.
    for (float half : {0.5f, 1.5f, 2.5f, 32766.5f, 32767.5f, -32767.5f, -32768.5f}) {
        for (float x : {std::nextafter(half, 0.0f), half, std::nextafter(half, 2 * half)}) {
            EXPECT_EQ(narrowSample(x), reference(x)) << x;
            EXPECT_EQ(narrowSample(-x), reference(-x)) << -x;
        }
    }
    for (float x : {1e9f, -1e9f}) EXPECT_EQ(narrowSample(x), reference(x)) << x;
    // Not reachable from a decoded sample (the scale keeps them within the peak), but held to the
    // range all the same: lrintf turned +infinity into the most negative value.
    EXPECT_EQ(narrowSample(std::numeric_limits<float>::infinity()), 32767);
    EXPECT_EQ(narrowSample(-std::numeric_limits<float>::infinity()), -32768);
    EXPECT_EQ(narrowSample(std::numeric_limits<float>::quiet_NaN()), -32768);
}

}  // namespace
}  // namespace quorvel::audio
