// IDirect3DDevice8 over an OpenGL 3.3 core context made by SDL on the device window.
//
// Drawing goes into an off-screen framebuffer of the back buffer's size and format (with the
// requested multisampling and depth-stencil format); Present copies it to the window and swaps.
// Rows of that framebuffer run top to bottom, as Direct3D's do, so read-back needs no flip.
// Direct3D state is kept as Direct3D values (DeviceState); setting a value equal to the
// current one does nothing, and changed values only mark what must be sent to GL before the
// next draw. Shaders come from a cache keyed by the state that shapes them (ShaderKey).
//
// One device is current at a time: creating a device makes its context current.
//
// Where the class is implemented:
//   GlDevice.cpp             creation, presentation parameters, Reset, loss, reference counts,
//                            resource creation
//   GlDeviceFrame.cpp        the picture: render targets, scenes, Clear, Present, read-back
//   GlDeviceState.cpp        state setters and getters, texture/stream/index bindings
//   GlDeviceStateBlocks.cpp  state blocks
//   GlDevicePipeline.cpp     fixed pipeline state (depth, blending, culling, stencil) to GL
//   GlDeviceDraw.cpp         samplers, shader and uniforms, vertex layout, the draw calls
//   GlDevicePrograms.cpp     the program cache and the programs remembered between runs
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <epoxy/gl.h>

#include "platform/d3d8/d3d8.h"
#include "platform/gl/DeviceLoss.h"
#include "platform/gl/DeviceState.h"
#include "platform/gl/FixedFunctionShader.h"
#include "platform/gl/StateBlock.h"
#include "platform/gl/WindowPresenter.h"

namespace quorvel::gl {

class GlDirect3D;
class GlTexture;
class GlVertexBuffer;
class GlIndexBuffer;

class GlDevice final : public IDirect3DDevice8 {
public:
    static HRESULT create(GlDirect3D* direct3d, UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                          DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device);

    // Called by resources.
    void resourceCreated(D3DPOOL pool);
    void resourceReleased(D3DPOOL pool);
    const D3DPRESENT_PARAMETERS& presentParameters() const { return parameters_; }
    // Current back buffer as RGBA bytes, top row first. False when the device cannot read.
    bool readBackBuffer(std::vector<std::uint8_t>& rgba);
    // Called when a vertex buffer's GL name is deleted.
    void forgetVertexBuffer(GLuint name);
    // Number of distinct shader programs built so far, including those built ahead from the
    // programs remembered for the working folder, and how many of them draws have used.
    size_t programCount() const { return programs_.size(); }
    size_t usedProgramCount() const { return usedKeys_.size(); }

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT GetDirect3D(IDirect3D8** direct3d) override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
    void SetCursorPosition(int x, int y, DWORD flags) override;
    BOOL ShowCursor(BOOL show) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const void* dirtyRegion) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBuffer) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** vertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8** indexBuffer) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                  DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT GetMaterial(D3DMATERIAL8* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* token) override;
    HRESULT ApplyStateBlock(DWORD token) override;
    HRESULT CaptureStateBlock(DWORD token) override;
    HRESULT DeleteStateBlock(DWORD token) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) override;
    HRESULT SetVertexShader(DWORD fvf) override;
    HRESULT GetVertexShader(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer, UINT stride) override;
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer8** vertexBuffer, UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* indexBuffer, UINT baseVertexIndex) override;
    HRESULT GetIndices(IDirect3DIndexBuffer8** indexBuffer, UINT* baseVertexIndex) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                 UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT stride) override;

private:
    GlDevice(GlDirect3D* direct3d, UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags);
    ~GlDevice() override;

    HRESULT initialise(const D3DPRESENT_PARAMETERS& parameters);
    HRESULT applyPresentParameters(D3DPRESENT_PARAMETERS& parameters);
    bool createRenderTargets();
    void destroyRenderTargets();
    void resetState();
    void setUpGlDefaults();
    void unbindAll();

    // Draw preparation.
    bool prepareDraw(GLuint vertexBuffer, UINT stride, GLintptr offset);
    void flushPipelineState();
    void flushSamplers();
    void updateDerivedTransforms();
    void packLights();
    void setVertexLayout(GLuint vertexBuffer, DWORD fvf, UINT stride, GLintptr offset);
    void uploadUniforms(FixedFunctionProgram& program);
    void markRenderStateChanged(D3DRENDERSTATETYPE state);
    void markStageStateChanged(DWORD stage, D3DTEXTURESTAGESTATETYPE type);
    void updateLossState();
    // Program cache.
    FixedFunctionProgram& programFor(const ShaderKey& key);
    void buildRememberedPrograms();
    void rememberPrograms();
    bool lost() const { return loss_.state() != DeviceLoss::State::None; }
    void setTextureBinding(DWORD stage, GlTexture* texture);
    void setStreamBinding(GlVertexBuffer* buffer, UINT stride);
    void setIndexBinding(GlIndexBuffer* buffer, UINT baseVertex);
    void releaseStateBlock(StateBlock& block);
    void captureInto(StateBlock& block);

    // Identity.
    ULONG refs_ = 1;
    GlDirect3D* direct3d_;
    UINT adapter_;
    D3DDEVTYPE type_;
    HWND focusWindow_;
    DWORD behaviorFlags_;
    D3DPRESENT_PARAMETERS parameters_{};
    void* window_ = nullptr;   // SDL_Window*
    void* context_ = nullptr;  // SDL_GLContext

    // Resources.
    UINT defaultPoolResources_ = 0;
    GLuint framebuffer_ = 0, depthBuffer_ = 0;
    GLuint multisampleColour_ = 0;  // the colour renderbuffer of a multisampled back buffer
    GLuint resolveFramebuffer_ = 0;
    GLuint picture_ = 0;  // single-sample colour texture Present shows: the back buffer or its resolve target
    WindowPresenter presenter_;
    GLuint vertexArray_ = 0, userVertexBuffer_ = 0;
    std::array<GLuint, kStageCount> samplers_{};

    // Direct3D state and bindings.
    DeviceState state_;
    std::array<GlTexture*, kStageCount> textures_{};
    GlVertexBuffer* stream_ = nullptr;
    UINT streamStride_ = 0;
    GlIndexBuffer* indices_ = nullptr;
    UINT baseVertex_ = 0;
    bool inScene_ = false;
    DeviceLoss loss_;

    // State blocks.
    std::map<DWORD, std::unique_ptr<StateBlock>> stateBlocks_;
    std::unique_ptr<StateBlock> recording_;
    DWORD nextStateBlock_ = 1;

    // What must reach GL before the next draw.
    bool keyDirty_ = true;
    bool pipelineDirty_ = true;
    std::array<bool, kStageCount> samplerDirty_{};
    std::array<bool, kStageCount> textureBindingDirty_{};
    bool derivedTransformsDirty_ = true;
    bool lightsDirty_ = true;
    std::uint64_t transformVersion_ = 1, projectionVersion_ = 1, materialVersion_ = 1, lightVersion_ = 1,
                  miscVersion_ = 1;

    // GL-side caches.
    std::unordered_map<ShaderKey, FixedFunctionProgram, ShaderKeyHash> programs_;
    FixedFunctionProgram* program_ = nullptr;
    std::vector<ShaderKey> usedKeys_;       // in the order of their first draw
    std::vector<ShaderKey> rememberedKeys_;  // as read when the device was made
    std::string programHistoryPath_;
    GLuint layoutBuffer_ = 0;
    DWORD layoutFvf_ = 0;
    UINT layoutStride_ = 0;
    GLintptr layoutOffset_ = -1;

    // Derived values sent as uniforms.
    D3DMATRIX worldView_{};
    std::array<float, 9> normalMatrix_{};
    std::vector<float> packedLights_;
    int packedLightCount_ = 0;
};

}  // namespace quorvel::gl
