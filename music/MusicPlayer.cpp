#include "music/MusicPlayer.h"

#include <cmath>

#include "platform/win/FileNames.h"
#include "script/Reports.h"

namespace quorvel {
namespace {

// Called by the audio library on its own thread when the stream ends (and loops); nothing to do.
void onMusicEnd(HSYNC, DWORD, DWORD, DWORD) {}

}  // namespace

HRESULT MusicPlayer::Open(const std::string& musicBasePath, const char* fileName, HWND window) {
    streamOpen = FALSE;
    const std::string path = musicBasePath + fileName;

    if (!audio_.Init(-1, 44100, 0, window)) {
        reportError("BASS DEVICE INIT FAILED, Do you have a soundcard?");
        return E_FAIL;
    }
    deviceOpen = TRUE;

    const std::string resolved = platform::resolveFileName(path);
    stream = audio_.StreamCreateFile(FALSE, resolved.c_str(), 0, 0, BASS_MP3_SETPOS);
    if (stream == 0) {
        reportError("BASS CAN'T PLAY THE FILE, Does %s exist?", path.c_str());
        return E_FAIL;
    }
    audio_.ChannelSetSync(stream, BASS_SYNC_END, 0, &onMusicEnd, 0);
    streamOpen = TRUE;
    return S_OK;
}

void MusicPlayer::Play(int demoStart) {
    if (!streamOpen) return;
    const DWORD length = audio_.StreamGetLength(stream);
    DWORD rate = 0;
    audio_.ChannelGetAttributes(stream, &rate, nullptr, nullptr);
    const DWORD flags = audio_.ChannelGetFlags(stream);
    const DWORD channels = (flags & BASS_SAMPLE_MONO) ? 1u : 2u;
    const DWORD bytesPerSample = (flags & BASS_SAMPLE_8BITS) ? 1u : 2u;
    const DWORD exactBytesPerSecond = rate * channels * bytesPerSample;
    const DWORD start = static_cast<DWORD>(demoStart);

    // The stream's length spread over its whole seconds gives the bytes per second, so a length
    // that is not a whole number of seconds moves the start a little further in. All 32-bit.
    DWORD position = 0;
    if (exactBytesPerSecond != 0) {
        const DWORD wholeSeconds = length / exactBytesPerSecond;
        if (wholeSeconds == 0) {
            // Shorter than a second: nothing to spread over, so take the exact rate.
            position = start * exactBytesPerSecond;
        } else {
            const DWORD bytesPerSecond = audio_.StreamGetLength(stream) / wholeSeconds;
            position = start * bytesPerSecond;
        }
    }
    audio_.ChannelSetPosition(stream, position);
    audio_.Start();
    audio_.StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP);
}

void MusicPlayer::PlayAt(double seconds) {
    if (!streamOpen) return;
    DWORD rate = 0;
    audio_.ChannelGetAttributes(stream, &rate, nullptr, nullptr);
    const DWORD flags = audio_.ChannelGetFlags(stream);
    const DWORD frameBytes = ((flags & BASS_SAMPLE_MONO) ? 1u : 2u) * ((flags & BASS_SAMPLE_8BITS) ? 1u : 2u);
    const DWORD length = audio_.StreamGetLength(stream);
    // Past the end the looping stream has come round again that many times.
    double frames = seconds > 0.0 ? std::floor(seconds * rate) : 0.0;
    const double lengthFrames = static_cast<double>(length / frameBytes);
    if (lengthFrames > 0.0) frames = std::fmod(frames, lengthFrames);
    audio_.ChannelSetPosition(stream, static_cast<DWORD>(frames) * frameBytes);
    audio_.Start();
    audio_.StreamPlay(stream, FALSE, BASS_SAMPLE_LOOP);
}

void MusicPlayer::Stop() {
    if (streamOpen) audio_.ChannelStop(stream);
}

void MusicPlayer::Close() {
    if (!streamOpen && !deviceOpen) return;
    streamOpen = FALSE;
    deviceOpen = FALSE;
    audio_.Free();
}

}  // namespace quorvel
