#include "platform/gl/WindowPresenter.h"

#include "platform/gl/ProgramLink.h"

namespace quorvel::gl {
namespace {

// A unit no Direct3D stage and no texture upload uses, so binding the picture disturbs nothing.
constexpr GLint kPictureUnit = 14;

// One triangle with corners (-1, -1), (3, -1) and (-1, 3) covers the window, clip space's
// [-1, 1] square, without a diagonal seam. Texture row 0 is the picture's top row, which belongs
// at the window's top (clip y = 1).
constexpr const char* kVertexSource = R"(#version 330 core
out vec2 vPicture;
void main() {
    vec2 corner = vec2(float((gl_VertexID & 1) << 1), float(gl_VertexID & 2));
    vPicture = vec2(corner.x, 1.0 - corner.y);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

constexpr const char* kFragmentSource = R"(#version 330 core
in vec2 vPicture;
uniform sampler2D uPicture;
out vec4 fragColour;
void main() { fragColour = texture(uPicture, vPicture); }
)";

}  // namespace

GLuint WindowPresenter::createPicture(GLenum internalFormat, GLsizei width, GLsizei height) {
    GLuint picture = 0;
    glGenTextures(1, &picture);
    glActiveTexture(GL_TEXTURE0 + kPictureUnit);
    glBindTexture(GL_TEXTURE_2D, picture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &picture);
        return 0;
    }
    return picture;
}

bool WindowPresenter::create() {
    program_ = linkProgram(kVertexSource, kFragmentSource);
    if (!program_) return false;
    glUseProgram(program_);
    glUniform1i(glGetUniformLocation(program_, "uPicture"), kPictureUnit);
    glGenVertexArrays(1, &emptyVertexArray_);
    return true;
}

void WindowPresenter::destroy() {
    if (program_) glDeleteProgram(program_);
    if (emptyVertexArray_) glDeleteVertexArrays(1, &emptyVertexArray_);
    program_ = emptyVertexArray_ = 0;
}

void WindowPresenter::draw(GLuint picture, int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
    glActiveTexture(GL_TEXTURE0 + kPictureUnit);
    glBindTexture(GL_TEXTURE_2D, picture);
    // At the same size each window pixel's centre lands on one texel's centre, so nearest
    // sampling copies the picture exactly; stretched pictures are filtered. Setting a value the
    // texture already has costs nothing.
    const GLint filter = pictureWidth == windowWidth && pictureHeight == windowHeight ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glViewport(0, 0, windowWidth, windowHeight);
    glUseProgram(program_);
    glBindVertexArray(emptyVertexArray_);
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

}  // namespace quorvel::gl
