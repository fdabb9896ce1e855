#include "VideoFormat.h"

#include <algorithm>
#include <cctype>

namespace quorvel::capture {

namespace {

const VideoFormat Formats[] = {
    {VideoContainer::Mp4, ".mp4", "mp4", "H.264 with AAC", 16, 51, "veryfast"},
    {VideoContainer::WebM, ".webm", "webm", "VP9 with Opus", 31, 63, "4"},
    {VideoContainer::Mov, ".mov", "mov", "ProRes 422 HQ with PCM", -1, -1, nullptr},
    {VideoContainer::Mkv, ".mkv", "matroska", "FFV1 with FLAC", -1, -1, nullptr},
};

const char* const X264Presets[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                   "medium",    "slow",      "slower",   "veryslow", "placebo"};

bool endsWith(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

bool validPreset(const VideoFormat& format, const std::string& preset) {
    if (format.container == VideoContainer::Mp4) {
        return std::find(std::begin(X264Presets), std::end(X264Presets), preset) != std::end(X264Presets);
    }
    // VP9's speed: 0 is slowest and best, 8 fastest.
    return preset.size() == 1 && preset[0] >= '0' && preset[0] <= '8';
}

// RGB becomes limited-range BT.709 YUV and the stream says so, so players show the colours the
// show drew whatever the picture size (untagged video is read as BT.601 below 720 lines).
void addYuvConversion(std::vector<std::string>& args, const char* pixelFormat) {
    args.insert(args.end(), {"-vf", "scale=out_color_matrix=bt709:out_range=tv", "-pix_fmt", pixelFormat,
                             "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                             "-color_range", "tv"});
}

}  // namespace

const VideoFormat* videoFormatFor(const std::string& path) {
    for (const VideoFormat& format : Formats) {
        if (path.size() > std::string(format.extension).size() && endsWith(path, format.extension)) return &format;
    }
    return nullptr;
}

std::string checkVideoSettings(const VideoFormat& format, const EncoderSettings& settings, int width, int height) {
    const std::string name = format.extension;
    if (settings.crf) {
        if (format.defaultCrf < 0) return "--crf does not apply to " + name + " (" + format.description + ")";
        if (*settings.crf < 0 || *settings.crf > format.maxCrf)
            return "--crf for " + name + " lies between 0 and " + std::to_string(format.maxCrf);
    }
    if (!settings.preset.empty()) {
        if (!format.defaultPreset) return "--preset does not apply to " + name + " (" + format.description + ")";
        if (!validPreset(format, settings.preset)) {
            return format.container == VideoContainer::Mp4
                       ? "--preset for .mp4 is one of ultrafast, superfast, veryfast, faster, fast, medium, slow, "
                         "slower, veryslow, placebo"
                       : "--preset for .webm is a speed from 0 (best) to 8 (fastest)";
        }
    }
    if (format.container == VideoContainer::Mp4 && (width % 2 != 0 || height % 2 != 0)) {
        return "H.264 needs an even width and height; " + std::to_string(width) + "x" + std::to_string(height) +
               " is odd (try --size " + std::to_string(width + width % 2) + "x" + std::to_string(height + height % 2) +
               ")";
    }
    return {};
}

std::vector<std::string> ffmpegCommand(const EncodeJob& job) {
    const VideoFormat& format = *job.format;
    const std::string crf = std::to_string(job.settings.crf.value_or(format.defaultCrf));
    const std::string preset =
        job.settings.preset.empty() && format.defaultPreset ? format.defaultPreset : job.settings.preset;
    std::vector<std::string> args = {
        "ffmpeg", "-hide_banner", "-nostdin", "-nostats", "-loglevel", "error", "-y",
        // Both inputs are raw and fully described, so ffmpeg must not read ahead to probe them:
        // it reads its inputs on one thread, and waiting there for seconds of sound that only
        // come with later pictures would stall both sides.
        // Pictures: RGBA, top row first, exactly one per frame at the capture rate.
        "-probesize", "32", "-analyzeduration", "0", "-f", "rawvideo", "-pix_fmt", "rgba",
        "-video_size", std::to_string(job.width) + "x" + std::to_string(job.height), "-framerate", job.rate.text(),
        "-i", "pipe:0",
        // Sound: what the music mixer produces.
        "-probesize", "32", "-analyzeduration", "0", "-f", "s16le", "-ar", "44100", "-ac", "2", "-i", "pipe:3",
        "-map", "0:v:0", "-map", "1:a:0"};

    switch (format.container) {
    case VideoContainer::Mp4:
        // Closed GOPs: a segment exported on its own starts with a frame that needs nothing
        // before it, so segments join without re-encoding.
        args.insert(args.end(), {"-c:v", "libx264", "-preset", preset, "-crf", crf, "-flags", "+cgop"});
        addYuvConversion(args, "yuv420p");
        args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart"});
        break;
    case VideoContainer::WebM:
        args.insert(args.end(), {"-c:v", "libvpx-vp9", "-crf", crf, "-b:v", "0", "-deadline", "good", "-cpu-used",
                                 preset, "-row-mt", "1"});
        addYuvConversion(args, "yuv420p");
        args.insert(args.end(), {"-c:a", "libopus", "-b:a", "160k", "-ar", "48000"});
        break;
    case VideoContainer::Mov:
        args.insert(args.end(), {"-c:v", "prores_ks", "-profile:v", "3", "-vendor", "apl0"});
        addYuvConversion(args, "yuv422p10le");
        args.insert(args.end(), {"-c:a", "pcm_s16le"});
        break;
    case VideoContainer::Mkv:
        // Lossless: the RGB bytes as drawn (the unused alpha dropped), every frame a key frame.
        args.insert(args.end(), {"-c:v", "ffv1", "-level", "3", "-slices", "4", "-pix_fmt", "bgr0",
                                 "-c:a", "flac"});
        break;
    }
    args.insert(args.end(), job.settings.extraArgs.begin(), job.settings.extraArgs.end());
    args.insert(args.end(), {"-f", format.muxer, job.outputPath});
    return args;
}

std::optional<std::vector<std::string>> splitArguments(const std::string& text) {
    std::vector<std::string> args;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (char c : text) {
        if (quote) {
            if (c == quote) {
                quote = 0;
            } else {
                word += c;
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) args.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quote) return std::nullopt;
    if (inWord) args.push_back(word);
    return args;
}

}  // namespace quorvel::capture
