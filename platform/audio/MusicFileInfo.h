// What a music file holds, read without an audio device: for tools that check or draw a show.
#pragma once

#include <string>
#include <vector>

namespace quorvel::audio {

struct MusicFileInfo {
    double seconds = 0.0;
    int channels = 0;
    int sampleRate = 0;
};

// Opens the file with the same decoder as the player; false (with why) when it cannot.
bool readMusicFileInfo(const std::string& path, MusicFileInfo& info, std::string& why);

// The peak of the absolute sample values (0..1) over each of count equal stretches of the file;
// empty when the file cannot be read.
std::vector<float> musicPeakEnvelope(const std::string& path, int count);

}  // namespace quorvel::audio
