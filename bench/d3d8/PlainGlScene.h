// The plain-GL side of the layer benchmark: the same geometry drawn with direct GL calls and a
// shader equivalent to the layer's fixed-function program, in a context of its own.
#pragma once

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <initializer_list>

#include "BenchGeometry.h"

namespace quorvel {

inline const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 4) in vec2 aTex;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform vec4 uMaterial[5];
uniform vec3 uLightDirection;
out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTex;
void main() {
  vec4 p = uWorldView * vec4(aPosition, 1.0);
  vec4 clip = uProjection * p;
  gl_Position = vec4(clip.x + clip.w / 640.0, -clip.y + clip.w / 480.0, 2.0 * clip.z - clip.w, clip.w);
  vec3 n = normalize(mat3(uWorldView) * aNormal);
  vec3 l = -uLightDirection;
  float nl = clamp(dot(n, l), 0.0, 1.0);
  vec3 h = normalize(l - normalize(p.xyz));
  float s = nl > 0.0 ? pow(max(dot(n, h), 0.0), uMaterial[4].x) : 0.0;
  vDiffuse = vec4(clamp(uMaterial[1].rgb * 0.4 + uMaterial[0].rgb * nl, 0.0, 1.0), uMaterial[0].a);
  vSpecular = vec4(uMaterial[2].rgb * s, 0.0);
  vTex = aTex;
})";

// The start both fragment programs share; a program's text is this followed by its main().
inline const char* kFragmentInputs = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTex;
uniform sampler2D uTexture;
out vec4 colour;
)";

inline const char* kFragmentShader = R"(void main() {
  vec4 c = texture(uTexture, vTex) * vDiffuse;
  colour = vec4(clamp(c.rgb + vSpecular.rgb, 0.0, 1.0), c.a);
})";

// The texture stage's SELECTARG2 (diffuse only): the other program of the state-change case.
inline const char* kPlainFragmentShader = R"(void main() {
  colour = vec4(clamp(vDiffuse.rgb + vSpecular.rgb, 0.0, 1.0), vDiffuse.a);
})";

struct PlainProgram {
    GLuint program = 0;
    GLint worldView = -1, proj = -1, material = -1, lightDirection = -1;

    // A shader whose text is the parts one after the other.
    static GLuint compile(GLenum type, std::initializer_list<const char*> parts) {
        GLuint s = glCreateShader(type);
        glShaderSource(s, static_cast<GLsizei>(parts.size()), parts.begin(), nullptr);
        glCompileShader(s);
        return s;
    }

    bool build(const char* fragmentMain) {
        program = glCreateProgram();
        GLuint vs = compile(GL_VERTEX_SHADER, {kVertexShader});
        GLuint fs = compile(GL_FRAGMENT_SHADER, {kFragmentInputs, fragmentMain});
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glLinkProgram(program);
        glDeleteShader(vs);
        glDeleteShader(fs);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (!ok) return false;
        glUseProgram(program);
        worldView = glGetUniformLocation(program, "uWorldView");
        proj = glGetUniformLocation(program, "uProjection");
        material = glGetUniformLocation(program, "uMaterial");
        lightDirection = glGetUniformLocation(program, "uLightDirection");
        glUniform1i(glGetUniformLocation(program, "uTexture"), 0);
        return true;
    }

    // The per-frame uniforms.
    void setFrameUniforms() const {
        glUseProgram(program);
        const D3DMATRIX p = projection();
        glUniformMatrix4fv(proj, 1, GL_FALSE, &p._11);
        const float length = std::sqrt(10.0f * 10.0f * 2 + 1000.0f * 1000.0f);
        glUniform3f(lightDirection, -10.0f / length, -10.0f / length, 1000.0f / length);
    }
};

struct PlainScene {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    GLuint vao = 0, vbo = 0, ibo = 0, texture = 0, fbo = 0, colour = 0, depth = 0;
    PlainProgram textured, untextured;
    Geometry geometry;

    bool open(int triangles, int groups) {
        window = SDL_CreateWindow("plain", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window) return false;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        context = SDL_GL_CreateContext(window);
        if (!context) return false;
        SDL_GL_MakeCurrent(window, context);
        if (!untextured.build(kPlainFragmentShader) || !textured.build(kFragmentShader)) return false;

        geometry = makeGeometry(triangles, groups);
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        glGenBuffers(1, &vbo);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(geometry.vertices.size() * sizeof(Vertex)),
                     geometry.vertices.data(), GL_STATIC_DRAW);
        glGenBuffers(1, &ibo);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(geometry.indices.size() * 2),
                     geometry.indices.data(), GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(12));
        glEnableVertexAttribArray(4);
        glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(24));

        std::vector<std::uint32_t> texels(64 * 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) texels[y * 64 + x] = ((x ^ y) & 4) ? 0xFFFFFFFFu : 0xFF406080u;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kWidth, kHeight);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }

    void close() {
        if (!context) return;
        SDL_GL_MakeCurrent(window, context);
        glDeleteProgram(textured.program);
        glDeleteProgram(untextured.program);
        glDeleteBuffers(1, &vbo);
        glDeleteBuffers(1, &ibo);
        glDeleteVertexArrays(1, &vao);
        glDeleteTextures(1, &texture);
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &colour);
        glDeleteRenderbuffers(1, &depth);
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
    }

    void drawFrame(bool alternate) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (alternate) untextured.setFrameUniforms();
        textured.setFrameUniforms();
        glActiveTexture(GL_TEXTURE0);
        for (size_t i = 0; i < geometry.groups.size(); ++i) {
            const auto& group = geometry.groups[i];
            const PlainProgram& program = alternate && (i & 1) ? untextured : textured;
            if (alternate) glUseProgram(program.program);
            const float shade = 0.5f + 0.5f * static_cast<float>(i % 7) / 6.0f;
            const float m[20] = {shade, 0.8f, 1.0f - shade * 0.5f, 1, shade, 0.8f, 1.0f - shade * 0.5f, 1,
                                 0.3f,  0.3f, 0.3f,                1, 0,     0,    0,                  0,
                                 8.0f,  0,    0,                   0};
            glUniform4fv(program.material, 5, m);
            glBindTexture(GL_TEXTURE_2D, texture);
            const D3DMATRIX world = translation(group.offsetX, group.offsetY, 8.0f);
            glUniformMatrix4fv(program.worldView, 1, GL_FALSE, &world._11);
            glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(group.triangles * 3), GL_UNSIGNED_SHORT,
                                     reinterpret_cast<void*>(static_cast<uintptr_t>(group.firstIndex) * 2),
                                     static_cast<GLint>(group.baseVertex));
        }
    }
};

}  // namespace quorvel
