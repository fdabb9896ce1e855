#include "CaptureOptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quorvel::capture {

const char* const CaptureUsage =
    "usage: quorvel-capture [--fps N] [--from SECONDS] [--to SECONDS] [--size WxH] [--out DIR] [--wav FILE]\n"
    "                       [--video FILE [--crf N] [--preset NAME] [--encoder-args \"ARGS\"]]\n"
    "                       [--measure] [--measure-csv FILE] [--trust-show] [SHOW]\n"
    "Plays the show (SHOW: a show folder, script or .3ds file; default: the current folder)\n"
    "headless and frame-exact, writing DIR/frame-NNNNNN.png\n"
    "for every frame whose demo time lies in [from, to], and the music of that window to FILE.\n"
    "--fps takes a number or a fraction (30, 29.97, 60000/1001).\n"
    "--video writes one video file instead, with the music, of the frames in [from, to), through\n"
    "ffmpeg: .mp4 H.264 + AAC, .webm VP9 + Opus, .mov ProRes 422 HQ + PCM, .mkv FFV1 + FLAC.\n"
    "--crf and --preset change the quality and speed of .mp4 (CRF 16, preset veryfast) and .webm\n"
    "(CRF 31, speed 4); --encoder-args passes more arguments to ffmpeg.\n"
    "--measure draws the same frames without saving them and reports frame times;\n"
    "--measure-csv FILE also writes every frame's time to FILE.\n"
    "--trust-show lets the show's own plug-in libraries load (they are programs).\n";

namespace {

bool parseNumber(const std::string& text, double& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

bool parseInteger(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    return parseInteger(text.substr(0, x), width) && parseInteger(text.substr(x + 1), height) && width >= 16 &&
           height >= 16 && width <= 8192 && height <= 8192;
}

// The checks that concern several options together.
std::string checkCombination(CaptureOptions& options, bool outGiven) {
    if (options.from && options.to && *options.to < *options.from) return "--to lies before --from";
    if (!options.measureCsv.empty()) options.measure = true;
    if (options.videoPath.empty()) {
        if (options.encoder.crf) return "--crf needs --video";
        if (!options.encoder.preset.empty()) return "--preset needs --video";
        if (!options.encoder.extraArgs.empty()) return "--encoder-args needs --video";
        return {};
    }
    if (options.measure) return "--measure and --video exclude each other";
    if (outGiven) return "--out and --video exclude each other: a video is written instead of pictures";
    options.videoFormat = videoFormatFor(options.videoPath);
    if (!options.videoFormat) return "--video needs a file name ending in .mp4, .webm, .mov or .mkv";
    return checkVideoSettings(*options.videoFormat, options.encoder, options.width, options.height);
}

}  // namespace

std::optional<CaptureOptions> parseCaptureOptions(const std::vector<std::string>& args, std::string& error) {
    CaptureOptions options;
    bool outGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--help" || flag == "-h") {
            error = "";
            return std::nullopt;
        }
        if (flag.empty() || flag[0] != '-') {
            if (!options.show.empty()) {
                error = "unexpected argument " + flag + ": only one SHOW may be given";
                return std::nullopt;
            }
            options.show = flag;
            continue;
        }
        if (flag == "--measure") {
            options.measure = true;
            continue;
        }
        if (flag == "--trust-show") {
            options.trustShow = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "missing value after " + flag;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        double number = 0.0;
        if (flag == "--fps") {
            const auto rate = parseFrameRate(value);
            if (!rate) {
                error = "--fps needs a number of frames per second above 0";
                return std::nullopt;
            }
            options.fps = *rate;
        } else if (flag == "--from" || flag == "--to") {
            if (!parseNumber(value, number)) {
                error = flag + " needs a time in seconds";
                return std::nullopt;
            }
            (flag == "--from" ? options.from : options.to) = number;
        } else if (flag == "--size") {
            if (!parseSize(value, options.width, options.height)) {
                error = "--size needs WIDTHxHEIGHT, for example 640x480";
                return std::nullopt;
            }
        } else if (flag == "--out") {
            options.outDir = value;
            outGiven = true;
        } else if (flag == "--wav") {
            options.wavPath = value;
        } else if (flag == "--video") {
            options.videoPath = value;
        } else if (flag == "--crf") {
            int crf = 0;
            if (!parseInteger(value, crf)) {
                error = "--crf needs a whole number";
                return std::nullopt;
            }
            options.encoder.crf = crf;
        } else if (flag == "--preset") {
            options.encoder.preset = value;
        } else if (flag == "--encoder-args") {
            auto extra = splitArguments(value);
            if (!extra) {
                error = "--encoder-args has a quote that is not closed";
                return std::nullopt;
            }
            options.encoder.extraArgs = *extra;
        } else if (flag == "--measure-csv") {
            options.measureCsv = value;
        } else {
            error = "unknown option " + flag;
            return std::nullopt;
        }
    }
    error = checkCombination(options, outGiven);
    if (!error.empty()) return std::nullopt;
    return options;
}

}  // namespace quorvel::capture
