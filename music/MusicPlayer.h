// The show's music: one looping stream, started at the position of the demo's start time each
// time the device is created, stopped when the device goes, released at shutdown. The music is not
// a clock; nothing reads its position back.
#pragma once

#include "music/AudioBackend.h"
#include "platform/win/WinTypes.h"

#include <string>

namespace quorvel {

class MusicPlayer {
public:
    explicit MusicPlayer(AudioBackend& audio = bassAudio()) : audio_(audio) {}

    // Opens the audio device and the stream musicBasePath + fileName (the name's case need not
    // match the file's). Failures are reported in a message box and leave the player closed; the
    // show goes on without music.
    HRESULT Open(const std::string& musicBasePath, const char* fileName, HWND window = nullptr);

    // Positions the stream at demoStart whole seconds and plays it, looping. Only when open.
    void Play(int demoStart);

    // Positions the stream at an exact, possibly fractional, time in seconds (on a whole sample
    // frame) and plays it, looping. For a start time given on the command line. Only when open.
    void PlayAt(double seconds);

    // Stops the stream where it is. Only when open.
    void Stop();

    // Releases the audio device: when the stream is open, and also when only the device opened.
    void Close();

    HSTREAM stream = 0;
    BOOL streamOpen = FALSE;
    // The device was opened by Open and not yet released (also when the stream then failed).
    BOOL deviceOpen = FALSE;

private:
    AudioBackend& audio_;
};

}  // namespace quorvel
