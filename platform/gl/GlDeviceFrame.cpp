// GlDevice: the picture. The off-screen framebuffer the device draws into, scenes, Clear,
// Present (resolve, copy to the window, swap) and reading the picture back.
#include "platform/gl/GlDevice.h"

#include <algorithm>

#include <SDL2/SDL.h>

#include "platform/gl/GlFormats.h"
#include "platform/gl/GlResources.h"

namespace quorvel::gl {

namespace {

SDL_Window* sdlWindow(void* w) { return static_cast<SDL_Window*>(w); }

}  // namespace

bool GlDevice::createRenderTargets() {
    const GLsizei w = static_cast<GLsizei>(parameters_.BackBufferWidth);
    const GLsizei h = static_cast<GLsizei>(parameters_.BackBufferHeight);
    const GLsizei samples = parameters_.MultiSampleType == D3DMULTISAMPLE_NONE
                                ? 0
                                : static_cast<GLsizei>(parameters_.MultiSampleType);
    while (glGetError() != GL_NO_ERROR) {
    }
    const GLenum colourFormat = renderTargetFormat(parameters_.BackBufferFormat);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (samples > 0) {
        glGenRenderbuffers(1, &multisampleColour_);
        glBindRenderbuffer(GL_RENDERBUFFER, multisampleColour_);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, colourFormat, w, h);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, multisampleColour_);
    } else {
        picture_ = WindowPresenter::createPicture(colourFormat, w, h);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, picture_, 0);
    }
    if (parameters_.EnableAutoDepthStencil) {
        const GLenum depthFormat = depthStencilFormat(parameters_.AutoDepthStencilFormat);
        glGenRenderbuffers(1, &depthBuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, depthFormat, w, h);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                                  depthFormat == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, depthBuffer_);
    }
    bool ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (ok && samples > 0) {
        // Multisampled pictures are resolved here before they are shown or read.
        glGenFramebuffers(1, &resolveFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
        picture_ = WindowPresenter::createPicture(colourFormat, w, h);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, picture_, 0);
        ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    if (ok) {
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDepthMask(GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glClearStencil(0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        pipelineDirty_ = true;
    }
    return ok && glGetError() == GL_NO_ERROR;
}

void GlDevice::destroyRenderTargets() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    GLuint framebuffers[] = {framebuffer_, resolveFramebuffer_};
    GLuint renderbuffers[] = {multisampleColour_, depthBuffer_};
    glDeleteFramebuffers(2, framebuffers);
    glDeleteRenderbuffers(2, renderbuffers);
    glDeleteTextures(1, &picture_);
    framebuffer_ = resolveFramebuffer_ = multisampleColour_ = depthBuffer_ = picture_ = 0;
}

HRESULT GlDevice::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT GlDevice::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT GlDevice::Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) {
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !parameters_.EnableAutoDepthStencil)
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && parameters_.AutoDepthStencilFormat != D3DFMT_D24S8) flags &= ~D3DCLEAR_STENCIL;
    if (rectCount > 0 && !rects) return D3DERR_INVALIDCALL;
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
    if (flags & D3DCLEAR_ZBUFFER) mask |= GL_DEPTH_BUFFER_BIT;
    if (flags & D3DCLEAR_STENCIL) mask |= GL_STENCIL_BUFFER_BIT;
    if (!mask) return D3D_OK;
    glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f, (colour & 0xFF) / 255.0f,
                 ((colour >> 24) & 0xFF) / 255.0f);
    glClearDepth(z < 0.0f ? 0.0 : (z > 1.0f ? 1.0 : z));
    glClearStencil(static_cast<GLint>(stencil));
    // Clears ignore the write masks of the render states.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFFFFFFFFu);
    pipelineDirty_ = true;
    // Clearing covers the viewport, or the given rectangles inside it.
    const D3DVIEWPORT8& vp = state_.viewport;
    const LONG vx1 = static_cast<LONG>(vp.X), vy1 = static_cast<LONG>(vp.Y);
    const LONG vx2 = static_cast<LONG>(vp.X + vp.Width), vy2 = static_cast<LONG>(vp.Y + vp.Height);
    const LONG width = static_cast<LONG>(parameters_.BackBufferWidth);
    const LONG height = static_cast<LONG>(parameters_.BackBufferHeight);
    auto clearRect = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
        x1 = std::max(x1, vx1);
        y1 = std::max(y1, vy1);
        x2 = std::min(x2, vx2);
        y2 = std::min(y2, vy2);
        if (x1 >= x2 || y1 >= y2) return;
        // A clear of the whole target goes without scissoring, which drivers clear fastest.
        if (x1 == 0 && y1 == 0 && x2 == width && y2 == height) {
            glDisable(GL_SCISSOR_TEST);
        } else {
            glEnable(GL_SCISSOR_TEST);
            glScissor(x1, y1, x2 - x1, y2 - y1);
        }
        glClear(mask);
    };
    if (rectCount == 0)
        clearRect(vx1, vy1, vx2, vy2);
    else
        for (DWORD i = 0; i < rectCount; ++i) clearRect(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    return D3D_OK;
}

HRESULT GlDevice::Present(const RECT*, const RECT*, HWND, const void*) {
    updateLossState();
    if (lost()) return D3DERR_DEVICELOST;
    const GLint w = static_cast<GLint>(parameters_.BackBufferWidth);
    const GLint h = static_cast<GLint>(parameters_.BackBufferHeight);
    glDisable(GL_SCISSOR_TEST);
    if (resolveFramebuffer_) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    int ww = 0, wh = 0;
    SDL_GL_GetDrawableSize(sdlWindow(window_), &ww, &wh);
    // The back buffer is stretched to the window's client area, as Direct3D does in a window.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    presenter_.draw(picture_, w, h, ww, wh);
    SDL_GL_SwapWindow(sdlWindow(window_));
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    // The presenter used its own program, vertex array and pipeline state.
    glUseProgram(program_ ? program_->program : 0);
    glBindVertexArray(vertexArray_);
    pipelineDirty_ = true;
    return D3D_OK;
}

bool GlDevice::readBackBuffer(std::vector<std::uint8_t>& rgba) {
    const GLint w = static_cast<GLint>(parameters_.BackBufferWidth);
    const GLint h = static_cast<GLint>(parameters_.BackBufferHeight);
    rgba.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
    GLuint source = framebuffer_;
    if (resolveFramebuffer_) {
        glDisable(GL_SCISSOR_TEST);
        pipelineDirty_ = true;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        source = resolveFramebuffer_;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    return glGetError() == GL_NO_ERROR;
}

HRESULT GlDevice::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** backBuffer) {
    if (!backBuffer || index != 0) return D3DERR_INVALIDCALL;
    *backBuffer = new GlBackBuffer(this);
    return D3D_OK;
}

}  // namespace quorvel::gl
