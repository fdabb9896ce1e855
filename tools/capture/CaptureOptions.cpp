#include "CaptureOptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quorvel::capture {

const char* const CaptureUsage =
    "usage: quorvel-capture [--fps N] [--from SECONDS] [--to SECONDS] [--size WxH] [--out DIR] [--wav FILE]\n"
    "                       [--measure] [SHOW]\n"
    "Plays the show (SHOW: a show folder, script or .3ds file; default: the current folder)\n"
    "headless and frame-exact, writing DIR/frame-NNNNNN.png\n"
    "for every frame whose demo time lies in [from, to], and the music of that window to FILE.\n"
    "--measure draws the same frames without saving them and reports frame times.\n";

namespace {

bool parseNumber(const std::string& text, double& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const std::string w = text.substr(0, x), h = text.substr(x + 1);
    auto rw = std::from_chars(w.data(), w.data() + w.size(), width);
    auto rh = std::from_chars(h.data(), h.data() + h.size(), height);
    return rw.ec == std::errc() && rw.ptr == w.data() + w.size() && rh.ec == std::errc() &&
           rh.ptr == h.data() + h.size() && width >= 16 && height >= 16 && width <= 8192 && height <= 8192;
}

}  // namespace

std::optional<CaptureOptions> parseCaptureOptions(const std::vector<std::string>& args, std::string& error) {
    CaptureOptions options;
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
        if (i + 1 >= args.size()) {
            error = "missing value after " + flag;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        double number = 0.0;
        if (flag == "--fps") {
            if (!parseNumber(value, number) || number <= 0.0 || number > 1000.0) {
                error = "--fps needs a number of frames per second above 0";
                return std::nullopt;
            }
            options.fps = number;
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
        } else if (flag == "--wav") {
            options.wavPath = value;
        } else {
            error = "unknown option " + flag;
            return std::nullopt;
        }
    }
    if (options.from && options.to && *options.to < *options.from) {
        error = "--to lies before --from";
        return std::nullopt;
    }
    return options;
}

}  // namespace quorvel::capture
