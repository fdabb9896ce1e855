#include "platform/gl/DriverWarmUp.h"

#include <system_error>

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include "platform/gl/FixedFunctionShader.h"

namespace quorvel::gl {

namespace {

constexpr const char* kVertexSource =
    "#version 330 core\n"
    "layout(location = 0) in vec4 position;\n"
    "uniform mat4 transform;\n"
    "out vec2 coordinates;\n"
    "void main() { gl_Position = transform * position; coordinates = position.xy; }\n";

constexpr const char* kFragmentSource =
    "#version 330 core\n"
    "in vec2 coordinates;\n"
    "uniform sampler2D picture;\n"
    "out vec4 colour;\n"
    "void main() { colour = texture(picture, coordinates); }\n";

// A textured triangle into a small framebuffer of the device's colour format, then the upside-down
// copy to the window that Present makes. A software driver such as llvmpipe generates machine
// code for its first draw and its first copy; much of that work (the code generator's own start)
// is done once per process, so the device's first frame finds it done.
void drawAndPresent(GLuint program) {
    constexpr GLsizei kSize = 16;
    GLuint framebuffer = 0, colour = 0, vertexArray = 0, buffer = 0, texture = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kSize, kSize);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glViewport(0, 0, kSize, kSize);

    const float triangle[] = {-1, -1, 0, 1, 3, -1, 0, 1, -1, 3, 0, 1};
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof triangle, triangle, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(0);
    const GLuint texel = 0xFF808080u;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    const float identity[] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUseProgram(program);
    glUniformMatrix4fv(glGetUniformLocation(program, "transform"), 1, GL_FALSE, identity);
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, kSize, kSize, 0, kSize, kSize, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glFinish();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteTextures(1, &texture);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteRenderbuffers(1, &colour);
    glDeleteFramebuffers(1, &framebuffer);
}

}  // namespace

DriverWarmUp::DriverWarmUp(void* window, void* context) : window_(window), context_(context) {
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    try {
        compiler_ = std::thread([sdlWindow, context] {
            if (SDL_GL_MakeCurrent(sdlWindow, context) != 0) return;
            const GLuint program = linkProgram(kVertexSource, kFragmentSource);
            if (program) {
                drawAndPresent(program);
                glDeleteProgram(program);
            }
            SDL_GL_MakeCurrent(sdlWindow, nullptr);
        });
    } catch (const std::system_error&) {
        // No thread to spare: the device's first program starts the compiler instead.
    }
}

DriverWarmUp::~DriverWarmUp() {
    if (compiler_.joinable()) compiler_.join();
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
}

}  // namespace quorvel::gl
