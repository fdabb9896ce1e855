// Reads frames back from a device made by Direct3DCreate8 without stalling on each one: every
// frame is copied into the next of a few pixel-pack buffers (the copy runs on the GL side), and
// a frame's bytes are only looked at once the ring comes round to its buffer again, a few
// frames later, when the copy is long done. Use it between drawing a frame and Present, with
// the device's context current; call drain() before the device goes away.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <epoxy/gl.h>

#include "platform/d3d8/d3d8.h"

namespace quorvel {

class FrameReadbackRing {
public:
    // Receives a finished read: its tag, and width * height RGBA bytes, top row first, valid
    // only during the call.
    using Receiver = std::function<void(std::int64_t tag, const std::uint8_t* rgba, UINT width, UINT height)>;

    explicit FrameReadbackRing(size_t depth = 3);
    ~FrameReadbackRing();
    FrameReadbackRing(const FrameReadbackRing&) = delete;
    FrameReadbackRing& operator=(const FrameReadbackRing&) = delete;

    // Starts reading the frame just drawn. When every buffer is busy, the oldest read is
    // finished first and handed to `receiver`. False when the device is not one of ours or GL
    // reports an error.
    bool queue(IDirect3DDevice8* device, std::int64_t tag, const Receiver& receiver);
    // Finishes every pending read, oldest first. False when a read failed.
    bool drain(const Receiver& receiver);
    // Frees the GL objects (pending reads are dropped). Needs the context; also done by the
    // destructor, which must then run while the context is current.
    void release();

    size_t pending() const { return count_; }

private:
    struct Slot {
        GLuint buffer = 0;
        GLsync fence = nullptr;
        std::int64_t tag = 0;
    };

    bool allocate(UINT width, UINT height);
    bool finishOldest(const Receiver& receiver);
    GLuint resolveSource(GLuint source);

    std::vector<Slot> slots_;
    size_t oldest_ = 0;
    size_t count_ = 0;
    UINT width_ = 0;
    UINT height_ = 0;
    // A single-sample copy of a multisampled back buffer, which glReadPixels cannot read.
    GLuint resolveFramebuffer_ = 0;
    GLuint resolveColour_ = 0;
};

}  // namespace quorvel
