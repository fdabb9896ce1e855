// The library's calls over AudioSystem: argument checks and the last-error code.
#include "platform/audio/bass.h"

#include "platform/audio/AudioSystem.h"

#include <atomic>

using quorvel::audio::AudioSystem;
using quorvel::audio::DecodedStream;

namespace {

std::atomic<int> lastError{BASS_OK};
std::atomic<HSYNC> nextSync{1};

BOOL result(int error) {
    lastError.store(error);
    return error == BASS_OK ? TRUE : FALSE;
}

// The stream behind a handle, or null with BASS_ERROR_HANDLE recorded.
std::shared_ptr<DecodedStream> stream(DWORD handle) {
    std::shared_ptr<DecodedStream> found = AudioSystem::instance().find(handle);
    lastError.store(found ? BASS_OK : BASS_ERROR_HANDLE);
    return found;
}

}  // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND /*window*/) {
    return result(AudioSystem::instance().init(device, freq, flags));
}

void BASS_Free() {
    AudioSystem::instance().free();
    lastError.store(BASS_OK);
}

BOOL BASS_Start() { return result(AudioSystem::instance().start()); }

BOOL BASS_Pause() { return result(AudioSystem::instance().pause()); }

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                              DWORD /*flags*/) {
    if (mem || offset != 0 || length != 0 || file == nullptr) {
        lastError.store(BASS_ERROR_ILLPARAM);
        return 0;
    }
    int error = BASS_OK;
    const HSTREAM handle =
        AudioSystem::instance().createStream(static_cast<const char*>(file), error);
    lastError.store(error);
    return handle;
}

BOOL BASS_StreamFree(HSTREAM handle) {
    return result(AudioSystem::instance().freeStream(handle) ? BASS_OK : BASS_ERROR_HANDLE);
}

DWORD BASS_StreamGetLength(HSTREAM handle) {
    auto s = stream(handle);
    return s ? s->lengthBytes() : 0xFFFFFFFFu;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) {
    auto s = stream(handle);
    if (!s) return FALSE;
    s->play(flush != FALSE, (flags & BASS_SAMPLE_LOOP) != 0);
    return TRUE;
}

BOOL BASS_ChannelStop(DWORD handle) {
    auto s = stream(handle);
    if (!s) return FALSE;
    s->stop();
    return TRUE;
}

BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) {
    auto s = stream(handle);
    if (!s) return FALSE;
    if (freq != nullptr) *freq = s->rate();
    if (volume != nullptr) *volume = 100;
    if (pan != nullptr) *pan = 0;
    return TRUE;
}

DWORD BASS_ChannelGetFlags(DWORD handle) {
    auto s = stream(handle);
    return s ? s->flags() : 0xFFFFFFFFu;
}

BOOL BASS_ChannelSetPosition(DWORD handle, DWORD position) {
    auto s = stream(handle);
    if (!s) return FALSE;
    return result(s->requestPosition(position / s->bytesPerFrame()) ? BASS_OK
                                                                    : BASS_ERROR_POSITION);
}

DWORD BASS_ChannelGetPosition(DWORD handle) {
    auto s = stream(handle);
    if (!s) return 0xFFFFFFFFu;
    const std::uint64_t bytes = s->positionFrame() * s->bytesPerFrame();
    return bytes > 0xFFFFFFFEull ? 0xFFFFFFFEu : static_cast<DWORD>(bytes);
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD /*param*/, SYNCPROC* proc, DWORD user) {
    auto s = stream(handle);
    if (!s) return 0;
    if (type != BASS_SYNC_END || proc == nullptr) {
        lastError.store(BASS_ERROR_ILLTYPE);
        return 0;
    }
    const HSYNC sync = nextSync.fetch_add(1);
    s->addEndSync(sync, proc, user, handle);
    return sync;
}

int BASS_ErrorGetCode() { return lastError.load(); }

void BASS_SetCaptureMode(BOOL on) { AudioSystem::instance().setCaptureMode(on != FALSE); }

DWORD BASS_MixOutput(void* buffer, DWORD frames) {
    AudioSystem& system = AudioSystem::instance();
    if (!system.initialised() || !system.captureMode() || buffer == nullptr) {
        lastError.store(system.initialised() ? BASS_ERROR_NOTAVAIL : BASS_ERROR_INIT);
        return 0;
    }
    if (frames > 0x7FFFFFFFu) frames = 0x7FFFFFFFu;
    system.mix(static_cast<std::int16_t*>(buffer), static_cast<int>(frames));
    lastError.store(BASS_OK);
    return frames;
}
