// AudioBackend over the process's audio library: each call forwards unchanged.
#include "music/AudioBackend.h"

namespace quorvel {
namespace {

class BassAudioBackend final : public AudioBackend {
public:
    BOOL Init(int device, DWORD freq, DWORD flags, HWND window) override {
        return BASS_Init(device, freq, flags, window);
    }
    HSTREAM StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                             DWORD flags) override {
        return BASS_StreamCreateFile(mem, file, offset, length, flags);
    }
    HSYNC ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC* proc,
                         DWORD user) override {
        return BASS_ChannelSetSync(handle, type, param, proc, user);
    }
    DWORD StreamGetLength(HSTREAM handle) override { return BASS_StreamGetLength(handle); }
    BOOL ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) override {
        return BASS_ChannelGetAttributes(handle, freq, volume, pan);
    }
    DWORD ChannelGetFlags(DWORD handle) override { return BASS_ChannelGetFlags(handle); }
    BOOL ChannelSetPosition(DWORD handle, DWORD position) override {
        return BASS_ChannelSetPosition(handle, position);
    }
    BOOL Start() override { return BASS_Start(); }
    BOOL StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) override {
        return BASS_StreamPlay(handle, flush, flags);
    }
    BOOL ChannelStop(DWORD handle) override { return BASS_ChannelStop(handle); }
    void Free() override { BASS_Free(); }
};

}  // namespace

AudioBackend& bassAudio() {
    static BassAudioBackend backend;
    return backend;
}

}  // namespace quorvel
