// The audio library calls the music player makes, behind an interface so that a test can stand in
// for the library and check the exact calls and byte positions. bassAudio() is the real library.
#pragma once

#include "platform/audio/bass.h"

namespace quorvel {

class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    virtual BOOL Init(int device, DWORD freq, DWORD flags, HWND window) = 0;
    virtual HSTREAM StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length,
                                     DWORD flags) = 0;
    virtual HSYNC ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC* proc,
                                 DWORD user) = 0;
    virtual DWORD StreamGetLength(HSTREAM handle) = 0;
    virtual BOOL ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) = 0;
    virtual DWORD ChannelGetFlags(DWORD handle) = 0;
    virtual BOOL ChannelSetPosition(DWORD handle, DWORD position) = 0;
    virtual BOOL Start() = 0;
    virtual BOOL StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) = 0;
    virtual BOOL ChannelStop(DWORD handle) = 0;
    virtual void Free() = 0;
};

// The process's audio library (platform/audio).
AudioBackend& bassAudio();

}  // namespace quorvel
