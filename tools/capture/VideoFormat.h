// The video formats quorvel-capture --video writes, chosen by the file's extension, and the
// ffmpeg command line that encodes one: raw RGBA frames come in on standard input, 16-bit stereo
// 44100 Hz sound on file descriptor 3.
//
//   .mp4   H.264 (yuv420p, CRF 16, preset veryfast) with AAC, moov atom at the front for
//          streaming. veryfast at CRF 16 looks as good as medium at 17 for a few percent more
//          bytes, and encodes in a third of the time, so an export takes about twice as long as
//          rendering alone.
//   .webm  VP9 (yuv420p, CRF 31) with Opus
//   .mov   ProRes 422 HQ (10-bit 4:2:2) with 16-bit PCM, for editing
//   .mkv   FFV1 (lossless RGB) with FLAC, for archiving
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "FrameRate.h"

namespace quorvel::capture {

enum class VideoContainer { Mp4, WebM, Mov, Mkv };

struct VideoFormat {
    VideoContainer container;
    const char* extension;      // ".mp4"
    const char* muxer;          // ffmpeg's -f name
    const char* description;    // for messages: "H.264 with AAC"
    int defaultCrf;             // -1: the codec has no quality scale
    int maxCrf;
    const char* defaultPreset;  // nullptr: the codec has no presets
};

// The format a file name asks for, by its extension (any case). Nothing for other names.
const VideoFormat* videoFormatFor(const std::string& path);

// What the user may change about a format.
struct EncoderSettings {
    std::optional<int> crf;
    std::string preset;                  // empty: the format's default
    std::vector<std::string> extraArgs;  // passed to ffmpeg after ours, so they win
};

// Why these settings cannot make this format at this size; empty when they can.
std::string checkVideoSettings(const VideoFormat& format, const EncoderSettings& settings, int width, int height);

struct EncodeJob {
    const VideoFormat* format = nullptr;
    EncoderSettings settings;
    int width = 0;
    int height = 0;
    FrameRate rate;
    std::string outputPath;  // what ffmpeg writes (the temporary name)
};

// ffmpeg's whole argument list, program name first.
std::vector<std::string> ffmpegCommand(const EncodeJob& job);

// Splits "-tune film -x264-params 'keyint=60:bframes=2'" into arguments: words are separated by
// spaces and tabs, quotes ('...' or "...") group words and are removed. Nothing when a quote is
// left open.
std::optional<std::vector<std::string>> splitArguments(const std::string& text);

}  // namespace quorvel::capture
