// Command line of quorvel-capture:
//   quorvel-capture [--fps N] [--from SECONDS] [--to SECONDS] [--size WxH] [--out DIR] [--wav FILE]
//                   [--video FILE [--crf N] [--preset NAME] [--encoder-args "..."]]
//                   [--measure] [--measure-csv FILE] [--trust-show] [SHOW]
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "FrameRate.h"
#include "VideoFormat.h"

namespace quorvel::capture {

struct CaptureOptions {
    FrameRate fps;
    std::optional<double> from;  // demo time of the first frame written; default: the start
    std::optional<double> to;    // demo time of the last frame written; default: the show's end
    int width = 640;
    int height = 480;
    std::string outDir = "capture";
    std::string wavPath;  // empty: no audio is written
    // A finished video instead of PNG files; its format follows the extension.
    std::string videoPath;
    const VideoFormat* videoFormat = nullptr;
    EncoderSettings encoder;
    // Measures instead of writing: frames in the window are drawn and presented but not saved,
    // and the wall-clock time of each frame is summed up at the end.
    bool measure = false;
    std::string measureCsv;  // with --measure: every frame's time as CSV
    bool trustShow = false;  // plug-in libraries that come with the show may load
    std::string show;  // show folder, script or .3ds file, as quorvel takes it; empty: here

    bool writesVideo() const { return videoFormat != nullptr; }
};

// Parses the arguments after the program name. On a bad argument returns nothing and sets error.
std::optional<CaptureOptions> parseCaptureOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const CaptureUsage;

}  // namespace quorvel::capture
