#include "platform/gl/ShaderCompilerWarmUp.h"

#include <system_error>

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

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

void compileAndLink() {
    const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(vertex, 1, &kVertexSource, nullptr);
    glShaderSource(fragment, 1, &kFragmentSource, nullptr);
    glCompileShader(vertex);
    glCompileShader(fragment);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);  // waits for a driver that links lazily
    glDeleteProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
}

}  // namespace

ShaderCompilerWarmUp::ShaderCompilerWarmUp(void* window, void* context) : window_(window), context_(context) {
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    try {
        compiler_ = std::thread([sdlWindow, context] {
            if (SDL_GL_MakeCurrent(sdlWindow, context) != 0) return;
            compileAndLink();
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
