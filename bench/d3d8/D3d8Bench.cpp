// Frames of lit, textured triangles drawn the way the scene player draws them - per face group
// one material state group, one world transform and one indexed draw - through our Direct3D 8
// layer, and the same geometry drawn with plain GL calls and an equivalent shader in a second
// context of the same process. Run headless with SDL_VIDEODRIVER=offscreen (the default here).
//
//   BM_Layer/<triangles>, BM_PlainGL/<triangles>: whole frames, finished with glFinish; the
//     "fps" counter is frames per second.
//   BM_LayerStateChange/<triangles>, BM_PlainGLStateChange/<triangles>: the same frames with the
//     texture stage switched between modulating the texture and the plain vertex colour before
//     every draw (for the layer a different shader program each draw, for plain GL a switch
//     between two programs).
//   BM_LayerSubmit/<groups>, BM_PlainGLSubmit/<groups>: one-triangle groups, submission only
//     (no finish); the difference of their per-draw CPU times is the layer's own overhead.
//
// Every case runs five times and reports the mean, median, standard deviation and coefficient
// of variation of those repetitions; compare medians. Figures measured so far are in README.md
// next to this file.
#include <benchmark/benchmark.h>

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

struct Geometry {
    std::vector<Vertex> vertices;
    std::vector<std::uint16_t> indices;
    struct Group {
        UINT baseVertex, vertexCount, firstIndex, triangles;
        float offsetX, offsetY;
    };
    std::vector<Group> groups;
};

// groups patches of a bumpy grid, each with its own vertices (16-bit indices per group) and
// about triangles / groups triangles, spread over the view.
Geometry makeGeometry(int triangles, int groups) {
    Geometry g;
    const int perGroup = std::max(2, triangles / groups);
    const int quads = perGroup / 2;
    const int side = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(quads))));
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(groups))));
    for (int group = 0; group < groups; ++group) {
        Geometry::Group info{};
        info.baseVertex = static_cast<UINT>(g.vertices.size());
        info.firstIndex = static_cast<UINT>(g.indices.size());
        info.offsetX = (group % columns) / static_cast<float>(columns) * 8.0f - 4.0f;
        info.offsetY = (group / columns) / static_cast<float>(columns) * 6.0f - 3.0f;
        const int rowsOfQuads = (quads + side - 1) / side;
        for (int y = 0; y <= rowsOfQuads; ++y)
            for (int x = 0; x <= side; ++x) {
                const float fx = static_cast<float>(x) / side, fy = static_cast<float>(y) / rowsOfQuads;
                const float z = 0.1f * std::sin(fx * 6.0f) * std::cos(fy * 6.0f);
                g.vertices.push_back({fx * 8.0f / columns, fy * 6.0f / columns, z, 0.3f * std::cos(fx * 6.0f),
                                      0.2f, -1.0f, fx, fy});
            }
        int made = 0;
        for (int y = 0; y < rowsOfQuads && made < perGroup; ++y)
            for (int x = 0; x < side && made < perGroup; ++x) {
                const auto a = static_cast<std::uint16_t>(y * (side + 1) + x), b = static_cast<std::uint16_t>(a + 1),
                           c = static_cast<std::uint16_t>(a + side + 1), d = static_cast<std::uint16_t>(c + 1);
                for (std::uint16_t i : {a, c, b}) g.indices.push_back(i);
                ++made;
                if (made < perGroup) {
                    for (std::uint16_t i : {b, c, d}) g.indices.push_back(i);
                    ++made;
                }
            }
        info.vertexCount = static_cast<UINT>(g.vertices.size()) - info.baseVertex;
        info.triangles = static_cast<UINT>(made);
        g.groups.push_back(info);
    }
    return g;
}

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATRIX projection() {
    const float yScale = 1.0f / std::tan(0.5f), zn = 1.0f, zf = 100.0f;
    D3DMATRIX m{};
    m._11 = yScale / (static_cast<float>(kWidth) / kHeight);
    m._22 = yScale;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

D3DMATRIX translation(float x, float y, float z) {
    D3DMATRIX m = identity();
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

// ---- Our layer -------------------------------------------------------------------------------

struct LayerScene {
    SDL_Window* window = nullptr;
    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    IDirect3DVertexBuffer8* vb = nullptr;
    IDirect3DIndexBuffer8* ib = nullptr;
    IDirect3DTexture8* texture = nullptr;
    SDL_GLContext context = nullptr;
    Geometry geometry;

    bool open(int triangles, int groups) {
        window = SDL_CreateWindow("layer", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        if (!window || !d3d) return false;
        D3DPRESENT_PARAMETERS p{};
        p.Windowed = TRUE;
        p.BackBufferWidth = kWidth;
        p.BackBufferHeight = kHeight;
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.BackBufferCount = 1;
        p.SwapEffect = D3DSWAPEFFECT_DISCARD;
        p.hDeviceWindow = window;
        p.EnableAutoDepthStencil = TRUE;
        p.AutoDepthStencilFormat = D3DFMT_D16;
        if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device)))
            return false;
        context = SDL_GL_GetCurrentContext();
        geometry = makeGeometry(triangles, groups);
        const UINT vbBytes = static_cast<UINT>(geometry.vertices.size() * sizeof(Vertex));
        const UINT ibBytes = static_cast<UINT>(geometry.indices.size() * 2);
        device->CreateVertexBuffer(vbBytes, D3DUSAGE_WRITEONLY, 0x112, D3DPOOL_DEFAULT, &vb);
        device->CreateIndexBuffer(ibBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib);
        BYTE* data = nullptr;
        vb->Lock(0, 0, &data, 0);
        std::memcpy(data, geometry.vertices.data(), vbBytes);
        vb->Unlock();
        ib->Lock(0, 0, &data, 0);
        std::memcpy(data, geometry.indices.data(), ibBytes);
        ib->Unlock();
        device->CreateTexture(64, 64, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture);
        for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
            D3DLOCKED_RECT locked;
            texture->LockRect(level, &locked, nullptr, 0);
            const UINT size = 64u >> level;
            for (UINT y = 0; y < size; ++y)
                for (UINT x = 0; x < size; ++x)
                    reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
                        ((x ^ y) & 4) ? 0xFFFFFFFFu : 0xFF806040u;
            texture->UnlockRect(level);
        }
        return true;
    }

    void close() {
        SDL_GL_MakeCurrent(window, context);
        if (texture) texture->Release();
        if (vb) vb->Release();
        if (ib) ib->Release();
        if (device) device->Release();
        if (d3d) d3d->Release();
        if (window) SDL_DestroyWindow(window);
    }

    void drawFrame(bool alternate) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
        device->SetVertexShader(0x112);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        D3DLIGHT8 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Ambient = {0.4f, 0.4f, 0.4f, 0.4f};
        light.Direction = {-10, -10, 1000};
        light.Range = 3.4028235e38f;
        device->SetLight(0, &light);
        device->LightEnable(0, TRUE);
        const D3DMATRIX view = identity(), proj = projection();
        device->SetTransform(D3DTS_PROJECTION, &proj);
        device->SetTransform(D3DTS_VIEW, &view);
        for (size_t i = 0; i < geometry.groups.size(); ++i) {
            const auto& group = geometry.groups[i];
            D3DMATERIAL8 material{};
            const float shade = 0.5f + 0.5f * static_cast<float>(i % 7) / 6.0f;
            material.Diffuse = {shade, 0.8f, 1.0f - shade * 0.5f, 1.0f};
            material.Ambient = material.Diffuse;
            material.Specular = {0.3f, 0.3f, 0.3f, 1.0f};
            material.Power = 8.0f;
            device->SetMaterial(&material);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            const bool plain = alternate && (i & 1);
            device->SetTextureStageState(0, D3DTSS_COLOROP, plain ? D3DTOP_SELECTARG2 : D3DTOP_MODULATE);
            device->SetTexture(0, texture);
            const D3DMATRIX world = translation(group.offsetX, group.offsetY, 8.0f);
            device->SetTransform(D3DTS_WORLD, &world);
            device->SetStreamSource(0, vb, sizeof(Vertex));
            device->SetIndices(ib, group.baseVertex);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, group.vertexCount, group.firstIndex, group.triangles);
        }
        device->EndScene();
    }
};

// ---- Plain GL --------------------------------------------------------------------------------

const char* kVertexShader = R"(#version 330 core
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

const char* kFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTex;
uniform sampler2D uTexture;
out vec4 colour;
void main() {
  vec4 c = texture(uTexture, vTex) * vDiffuse;
  colour = vec4(clamp(c.rgb + vSpecular.rgb, 0.0, 1.0), c.a);
})";

// The texture stage's SELECTARG2 (diffuse only): the other program of the state-change case.
const char* kPlainFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTex;
uniform sampler2D uTexture;
out vec4 colour;
void main() {
  colour = vec4(clamp(vDiffuse.rgb + vSpecular.rgb, 0.0, 1.0), vDiffuse.a);
})";

struct PlainProgram {
    GLuint program = 0;
    GLint worldView = -1, proj = -1, material = -1, lightDirection = -1;

    static GLuint compile(GLenum type, const char* source) {
        GLuint s = glCreateShader(type);
        glShaderSource(s, 1, &source, nullptr);
        glCompileShader(s);
        return s;
    }

    bool build(const char* fragmentSource) {
        program = glCreateProgram();
        GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader), fs = compile(GL_FRAGMENT_SHADER, fragmentSource);
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

void runFrames(benchmark::State& state, bool layer, bool finish, int triangles, int groups,
               bool alternate = false) {
    LayerScene l;
    PlainScene p;
    const bool ok = layer ? l.open(triangles, groups) : p.open(triangles, groups);
    if (!ok) {
        state.SkipWithError("could not set up GL");
        layer ? l.close() : p.close();
        return;
    }
    // Warm up: shaders built, buffers resident.
    for (int i = 0; i < 3; ++i) {
        layer ? l.drawFrame(alternate) : p.drawFrame(alternate);
        glFinish();
    }
    for (auto _ : state) {
        layer ? l.drawFrame(alternate) : p.drawFrame(alternate);
        if (finish) glFinish();
    }
    if (!finish) glFinish();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["draws"] = groups;
    layer ? l.close() : p.close();
}

void BM_Layer(benchmark::State& state) { runFrames(state, true, true, static_cast<int>(state.range(0)), 200); }
void BM_PlainGL(benchmark::State& state) { runFrames(state, false, true, static_cast<int>(state.range(0)), 200); }
void BM_LayerStateChange(benchmark::State& state) {
    runFrames(state, true, true, static_cast<int>(state.range(0)), 200, true);
}
void BM_PlainGLStateChange(benchmark::State& state) {
    runFrames(state, false, true, static_cast<int>(state.range(0)), 200, true);
}
void BM_LayerSubmit(benchmark::State& state) {
    runFrames(state, true, false, static_cast<int>(state.range(0)) * 2, static_cast<int>(state.range(0)));
}
void BM_PlainGLSubmit(benchmark::State& state) {
    runFrames(state, false, false, static_cast<int>(state.range(0)) * 2, static_cast<int>(state.range(0)));
}

// Five repetitions each; the machine is shared, so single runs scatter.
constexpr int kRepetitions = 5;
BENCHMARK(BM_Layer)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(kRepetitions)->DisplayAggregatesOnly(true);
BENCHMARK(BM_PlainGL)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(kRepetitions)->DisplayAggregatesOnly(true);
BENCHMARK(BM_LayerStateChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(kRepetitions)->DisplayAggregatesOnly(true);
BENCHMARK(BM_PlainGLStateChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(kRepetitions)->DisplayAggregatesOnly(true);
BENCHMARK(BM_LayerSubmit)->Arg(2000)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);
BENCHMARK(BM_PlainGLSubmit)->Arg(2000)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)
    ->DisplayAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
