#pragma once

#include <string>

#include <epoxy/gl.h>

namespace quorvel::gl {

// Compiles both stages and links them; on failure writes the GL log to stderr and returns 0.
GLuint linkProgram(const std::string& vertexSource, const std::string& fragmentSource);

}  // namespace quorvel::gl
