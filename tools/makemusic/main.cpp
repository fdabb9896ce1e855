// makemusic: renders the bundled show's music into a folder (demo/data by default) as
// music.ogg, OGG/Vorbis, 44.1 kHz stereo.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/makemusic/Score.h"

int main(int argc, char** argv) {
    using namespace quorvel;
    const std::string folder = argc > 1 ? argv[1] : "demo/data";
    StereoBuffer piece = renderPiece();
    piece.finish(0.89f);  // about -1 dB of headroom, so the encoder's ripples do not clip
    piece.fadeOut(2.5);
    const std::string path = folder + "/music.ogg";
    // Low Vorbis quality keeps the minute of music near 400 KB; the synth's clean tones
    // survive it well.
    const double quality = argc > 2 ? std::atof(argv[2]) : 0.0;
    std::string error;
    if (!piece.saveOggVorbis(path, quality, error)) {
        std::fprintf(stderr, "makemusic: cannot write %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    std::printf("makemusic: %s, %.1f s, peak %.3f, rms %.3f\n", path.c_str(),
                double(piece.frames()) / kSampleRate, double(piece.peakLevel()), double(piece.rmsLevel()));
    return 0;
}
