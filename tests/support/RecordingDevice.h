// A test double of IDirect3DDevice8 that draws nothing and remembers everything.
//
// Every call is appended to calls() in order as a Call: the method name, its integer-like
// arguments (pointers as addresses, floats by value in `values`) and a readable text such as
// "SetRenderState(27, 1)". The device also keeps the current value of every state it was given
// (render states, stage states, textures, transforms, material, lights, viewport, vertex
// format, stream and indices) so tests can ask what is in force at any point.
//
// Resources made by it are real: textures have one block of memory per level, buffers have
// their bytes, so code under test can lock and fill them and tests can read what was written.
// Reference counts behave as Direct3D's: each resource holds a reference on the device while
// the application holds one on it; bindings (SetTexture, SetStreamSource, SetIndices, state
// blocks) are not counted. liveResources() tells how many resources are still referenced.
//
// State blocks: BeginStateBlock/EndStateBlock record without applying, CaptureStateBlock and
// ApplyStateBlock work on the recorded render states, stage states and textures.
//
// Results: fail(method, code) makes the next call of that method fail with code (once);
// failAlways(method, code) until cleared with clearFailures(). cooperativeLevel sets what
// TestCooperativeLevel answers.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace quorvel::test {

struct Call {
    std::string method;
    std::vector<std::int64_t> args;  // integer and pointer arguments, in order
    std::vector<float> values;       // float arguments, in order
    std::string text;                // "Method(arg, arg, ...)"
};

class RecordingDevice;

class RecordingTexture final : public IDirect3DTexture8 {
public:
    RecordingTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool);
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // Level memory as written through locks, rows pitch(level) bytes apart.
    std::vector<std::uint8_t>& levelData(UINT level) { return levels_.at(level).bytes; }
    UINT pitch(UINT level) const { return levels_.at(level).pitch; }
    bool locked(UINT level) const { return levels_.at(level).locked; }
    D3DPOOL pool() const { return pool_; }

private:
    struct Level {
        UINT width, height, pitch;
        std::vector<std::uint8_t> bytes;
        bool locked = false;
    };
    RecordingDevice* device_;
    ULONG refs_ = 1;
    DWORD usage_;
    D3DFORMAT format_;
    D3DPOOL pool_;
    std::vector<Level> levels_;
};

class RecordingVertexBuffer final : public IDirect3DVertexBuffer8 {
public:
    RecordingVertexBuffer(RecordingDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    std::vector<std::uint8_t>& bytes() { return bytes_; }
    bool locked() const { return locked_; }

private:
    RecordingDevice* device_;
    ULONG refs_ = 1;
    std::vector<std::uint8_t> bytes_;
    DWORD usage_, fvf_;
    D3DPOOL pool_;
    bool locked_ = false;
};

class RecordingIndexBuffer final : public IDirect3DIndexBuffer8 {
public:
    RecordingIndexBuffer(RecordingDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    std::vector<std::uint8_t>& bytes() { return bytes_; }
    bool locked() const { return locked_; }

private:
    RecordingDevice* device_;
    ULONG refs_ = 1;
    std::vector<std::uint8_t> bytes_;
    DWORD usage_;
    D3DFORMAT format_;
    D3DPOOL pool_;
    bool locked_ = false;
};

class RecordingDevice final : public IDirect3DDevice8 {
public:
    // A device with a back buffer of width x height and the given Direct3D object (may be
    // null; GetDirect3D then fails). The creator holds the one reference.
    explicit RecordingDevice(UINT width = 640, UINT height = 480, IDirect3D8* direct3d = nullptr);

    // --- what tests read --------------------------------------------------------------------
    const std::vector<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Texts of the calls of one method (all methods when empty), in order.
    std::vector<std::string> callTexts(const std::string& method = {}) const;
    size_t countCalls(const std::string& method) const;
    ULONG refCount() const { return refs_; }
    int liveResources() const { return liveResources_; }
    int liveDefaultPoolResources() const { return liveDefaultPool_; }

    DWORD renderState(D3DRENDERSTATETYPE state) const;
    DWORD stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const;
    IDirect3DBaseTexture8* texture(DWORD stage) const { return textures_.at(stage); }
    const D3DMATRIX& transform(D3DTRANSFORMSTATETYPE type) const;
    const D3DMATERIAL8& material() const { return material_; }
    const D3DLIGHT8& light(DWORD index) const { return lights_.at(index); }
    bool lightEnabled(DWORD index) const { return lightEnabled_.at(index) != FALSE; }
    DWORD vertexFormat() const { return fvf_; }
    IDirect3DVertexBuffer8* streamSource() const { return stream_; }
    UINT streamStride() const { return stride_; }
    IDirect3DIndexBuffer8* indices() const { return indices_; }
    UINT baseVertexIndex() const { return baseVertex_; }
    bool inScene() const { return inScene_; }
    size_t stateBlockCount() const { return blocks_.size(); }

    // --- what tests set ---------------------------------------------------------------------
    void fail(const std::string& method, HRESULT code) { failOnce_[method] = code; }
    void failAlways(const std::string& method, HRESULT code) { failAlways_[method] = code; }
    void clearFailures() {
        failOnce_.clear();
        failAlways_.clear();
    }
    HRESULT cooperativeLevel = D3D_OK;
    D3DCAPS8 caps{};
    D3DDISPLAYMODE displayMode{640, 480, 60, D3DFMT_X8R8G8B8};
    D3DDEVICE_CREATION_PARAMETERS creationParameters{0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING};
    D3DPRESENT_PARAMETERS presentParameters{};

    // Used by the resources.
    void resourceCreated(D3DPOOL pool);
    void resourceReleased(D3DPOOL pool);
    void record(const std::string& method, std::vector<std::int64_t> args, std::vector<float> values = {});

    // --- IDirect3DDevice8 -------------------------------------------------------------------
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override { return 64u << 20; }
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

    ~RecordingDevice() override;

private:
    struct Block {
        std::map<DWORD, DWORD> renderStates;
        std::map<std::pair<DWORD, DWORD>, DWORD> stageStates;
        std::map<DWORD, IDirect3DBaseTexture8*> textures;
    };
    // The injected failure for this call, or D3D_OK.
    HRESULT injected(const std::string& method);

    ULONG refs_ = 1;
    IDirect3D8* direct3d_;
    std::vector<Call> calls_;
    std::map<std::string, HRESULT> failOnce_, failAlways_;
    int liveResources_ = 0, liveDefaultPool_ = 0;

    std::map<DWORD, DWORD> renderStates_;
    std::map<std::pair<DWORD, DWORD>, DWORD> stageStates_;
    std::array<IDirect3DBaseTexture8*, 8> textures_{};
    std::map<DWORD, D3DMATRIX> transforms_;
    D3DMATERIAL8 material_{};
    std::array<D3DLIGHT8, 8> lights_{};
    std::array<BOOL, 8> lightEnabled_{};
    D3DVIEWPORT8 viewport_{};
    DWORD fvf_ = 0;
    IDirect3DVertexBuffer8* stream_ = nullptr;
    UINT stride_ = 0;
    IDirect3DIndexBuffer8* indices_ = nullptr;
    UINT baseVertex_ = 0;
    bool inScene_ = false;

    std::map<DWORD, Block> blocks_;
    Block* recording_ = nullptr;
    Block recordingBlock_;
    DWORD nextBlock_ = 1;
};

}  // namespace quorvel::test
