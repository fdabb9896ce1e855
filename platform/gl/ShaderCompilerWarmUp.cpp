#include "platform/gl/ShaderCompilerWarmUp.h"

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

}  // namespace

ShaderCompilerWarmUp::ShaderCompilerWarmUp(void* window, void* context) : window_(window), context_(context) {
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    try {
        compiler_ = std::thread([sdlWindow, context] {
            if (SDL_GL_MakeCurrent(sdlWindow, context) != 0) return;
            if (const GLuint program = linkProgram(kVertexSource, kFragmentSource)) glDeleteProgram(program);
            SDL_GL_MakeCurrent(sdlWindow, nullptr);
        });
    } catch (const std::system_error&) {
        // No thread to spare: the device's first program starts the compiler instead.
    }
}

ShaderCompilerWarmUp::~ShaderCompilerWarmUp() {
    if (compiler_.joinable()) compiler_.join();
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
}

}  // namespace quorvel::gl
