#include "platform/gl/FrameReadbackRing.h"

#include "platform/gl/GlDevice.h"

namespace quorvel {

namespace {

constexpr GLuint64 WaitStepNs = 1'000'000'000;  // 1 s; waiting is retried until the copy ends

GLuint boundName(GLenum binding) {
    GLint name = 0;
    glGetIntegerv(binding, &name);
    return static_cast<GLuint>(name);
}

}  // namespace

FrameReadbackRing::FrameReadbackRing(size_t depth) : slots_(depth < 1 ? 1 : depth) {}

FrameReadbackRing::~FrameReadbackRing() {
    if (width_ != 0 || resolveFramebuffer_ != 0) release();
}

bool FrameReadbackRing::queue(IDirect3DDevice8* device, std::int64_t tag, const Receiver& receiver) {
    auto* glDevice = dynamic_cast<gl::GlDevice*>(device);
    if (!glDevice) return false;
    const D3DPRESENT_PARAMETERS& parameters = glDevice->presentParameters();
    bool ok = true;
    if (parameters.BackBufferWidth != width_ || parameters.BackBufferHeight != height_) {
        ok = drain(receiver);
        if (!allocate(parameters.BackBufferWidth, parameters.BackBufferHeight)) return false;
    }
    if (count_ == slots_.size()) ok = finishOldest(receiver) && ok;

    // Errors raised before this point are the device's; what follows is checked on its own.
    while (glGetError() != GL_NO_ERROR) {
    }
    // The device keeps its back-buffer framebuffer bound between draws (and rebinds it after
    // Present and read-back), so that is the picture to read.
    const GLuint drawFramebuffer = boundName(GL_DRAW_FRAMEBUFFER_BINDING);
    const GLuint readFramebuffer = boundName(GL_READ_FRAMEBUFFER_BINDING);
    const GLuint packBuffer = boundName(GL_PIXEL_PACK_BUFFER_BINDING);
    if (drawFramebuffer == 0) return false;
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    const GLuint source = samples > 0 ? resolveSource(drawFramebuffer) : drawFramebuffer;

    Slot& slot = slots_[(oldest_ + count_) % slots_.size()];
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, slot.buffer);
    glReadPixels(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    slot.fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    slot.tag = tag;
    glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, drawFramebuffer);
    if (glGetError() != GL_NO_ERROR || !slot.fence) {
        if (slot.fence) glDeleteSync(slot.fence);
        slot.fence = nullptr;
        return false;
    }
    ++count_;
    return ok;
}

bool FrameReadbackRing::drain(const Receiver& receiver) {
    bool ok = true;
    while (count_ > 0) ok = finishOldest(receiver) && ok;
    return ok;
}

bool FrameReadbackRing::finishOldest(const Receiver& receiver) {
    Slot& slot = slots_[oldest_];
    oldest_ = (oldest_ + 1) % slots_.size();
    --count_;

    GLenum waited = GL_TIMEOUT_EXPIRED;
    while (waited == GL_TIMEOUT_EXPIRED) waited = glClientWaitSync(slot.fence, GL_SYNC_FLUSH_COMMANDS_BIT, WaitStepNs);
    glDeleteSync(slot.fence);
    slot.fence = nullptr;
    if (waited == GL_WAIT_FAILED) return false;

    const GLuint packBuffer = boundName(GL_PIXEL_PACK_BUFFER_BINDING);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, slot.buffer);
    const auto bytes = static_cast<GLsizeiptr>(width_) * static_cast<GLsizeiptr>(height_) * 4;
    const void* pixels = glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, bytes, GL_MAP_READ_BIT);
    bool ok = pixels != nullptr;
    if (ok) {
        receiver(slot.tag, static_cast<const std::uint8_t*>(pixels), width_, height_);
        ok = glUnmapBuffer(GL_PIXEL_PACK_BUFFER) == GL_TRUE;
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
    return ok;
}

bool FrameReadbackRing::allocate(UINT width, UINT height) {
    release();
    width_ = width;
    height_ = height;
    const GLuint packBuffer = boundName(GL_PIXEL_PACK_BUFFER_BINDING);
    const auto bytes = static_cast<GLsizeiptr>(width) * static_cast<GLsizeiptr>(height) * 4;
    while (glGetError() != GL_NO_ERROR) {
    }
    for (Slot& slot : slots_) {
        glGenBuffers(1, &slot.buffer);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, slot.buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, packBuffer);
    if (glGetError() == GL_NO_ERROR) return true;
    release();
    return false;
}

GLuint FrameReadbackRing::resolveSource(GLuint source) {
    const GLuint renderbuffer = boundName(GL_RENDERBUFFER_BINDING);
    if (resolveFramebuffer_ == 0) {
        glGenRenderbuffers(1, &resolveColour_);
        glBindRenderbuffer(GL_RENDERBUFFER, resolveColour_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        glGenFramebuffers(1, &resolveFramebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, resolveColour_);
    }
    // The blit obeys the scissor test, which a show may have left on.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    const auto w = static_cast<GLint>(width_), h = static_cast<GLint>(height_);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    return resolveFramebuffer_;
}

void FrameReadbackRing::release() {
    for (Slot& slot : slots_) {
        if (slot.fence) glDeleteSync(slot.fence);
        if (slot.buffer) glDeleteBuffers(1, &slot.buffer);
        slot = Slot{};
    }
    if (resolveFramebuffer_) glDeleteFramebuffers(1, &resolveFramebuffer_);
    if (resolveColour_) glDeleteRenderbuffers(1, &resolveColour_);
    resolveFramebuffer_ = resolveColour_ = 0;
    oldest_ = count_ = 0;
    width_ = height_ = 0;
}

}  // namespace quorvel
