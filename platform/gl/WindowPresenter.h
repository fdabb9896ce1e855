#pragma once

#include <epoxy/gl.h>

namespace quorvel::gl {

// Shows the device's finished picture in the window by drawing it as one full-window triangle.
//
// A framebuffer blit does the same job, but a software driver such as llvmpipe generates code
// for its blit shaders in every new process (about 35 ms before the first frame appears), while
// this small program's code comes from the driver's shader disk cache like our other programs.
// Drawing also flips the picture (our rows run top to bottom) and stretches it for free.
class WindowPresenter {
public:
    WindowPresenter() = default;
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    // A single-level texture to render the picture into and show; 0 if GL refused the format.
    static GLuint createPicture(GLenum internalFormat, GLsizei width, GLsizei height);

    // Builds the program; needs the device's context current. False if the driver refused it.
    bool create();
    void destroy();

    // Draws `picture` (a single-level 2D texture of pictureWidth x pictureHeight) over the whole
    // of the bound draw framebuffer of windowWidth x windowHeight. Leaves the program, vertex
    // array, viewport, active texture unit and blend, depth, stencil, cull, scissor, polygon mode
    // and colour mask changed: the caller sets its own again.
    void draw(GLuint picture, int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

private:
    GLuint program_ = 0;
    GLuint emptyVertexArray_ = 0;
};

}  // namespace quorvel::gl
