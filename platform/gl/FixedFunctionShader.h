// GLSL generation for Direct3D 8's fixed-function pipeline, one program per ShaderKey.
//
// Vertex stage: world-view transform, Direct3D's per-vertex lighting in view space, and the
// mapping of Direct3D clip space (z in [0, w], y up, pixel centres on integers) onto GL's.
// Fragment stage: the texture stage cascade, specular add and alpha test.
#pragma once

#include <string>

#include <epoxy/gl.h>

#include "platform/gl/ShaderKey.h"

namespace quorvel::gl {

// Vertex attribute locations shared by the shader and the vertex layout code.
enum AttributeLocation : GLuint {
    kAttrPosition = 0,
    kAttrNormal = 1,
    kAttrDiffuse = 2,
    kAttrSpecular = 3,
    kAttrTex0 = 4,
    kAttrTex1 = 5,
};

// Uniform array layout of the packed lights: kLightVec4s vec4 per enabled light.
constexpr int kLightVec4s = 7;

std::string vertexShaderSource(const ShaderKey& key);
std::string fragmentShaderSource(const ShaderKey& key);

// A linked program with its uniform locations and the versions of the uniform groups it was
// last given, so that only changed groups are uploaded.
struct FixedFunctionProgram {
    GLuint program = 0;
    GLint worldView = -1, projection = -1, normalMatrix = -1, viewport = -1;
    GLint material = -1, ambient = -1, lights = -1;
    GLint textureFactor = -1, alphaRef = -1;
    bool used = false;  // drawn with by the device that holds it
    std::uint64_t transformVersion = 0, projectionVersion = 0, materialVersion = 0, lightVersion = 0, miscVersion = 0;
};

// Compiles and links; on failure writes the GL log to stderr and returns program 0.
FixedFunctionProgram buildProgram(const ShaderKey& key);

}  // namespace quorvel::gl
