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

#include "BenchGeometry.h"
#include "PlainGlScene.h"
#include "platform/memory/ProcessHeap.h"
#include "platform/d3d8/d3d8.h"

namespace {

using namespace quorvel;

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
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
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
            // Alpha as the plain GL programs compute it: the vertex colour's alone in the plain
            // draws, so that neither side samples the texture there.
            const DWORD op = plain ? D3DTOP_SELECTARG2 : D3DTOP_MODULATE;
            device->SetTextureStageState(0, D3DTSS_COLOROP, op);
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, op);
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
    // Both sides run on the heap as the player sets it up.
    quorvel::platform::prepareProcessHeap();
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
