// A test double of IDirect3DDevice8 that draws nothing and remembers everything.
//
// Every call is appended to calls() in order as a Call: the method name and a text with
// Direct3D's names for the constants, such as
// "SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE)". The device keeps the state it
// was given (render and stage states, textures, transforms, material, lights, viewport, vertex
// format, stream and indices) as a DeviceState, and every draw call takes a copy of it, so
// tests can ask what was in force at each draw. Draws from vertices also keep the vertex bytes.
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
// failAlways(method, code) on every call. Methods of the resources are
// named as recorded ("VertexBuffer::Lock"). cooperativeLevel sets what TestCooperativeLevel
// answers when no failure is injected.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "support/D3DNames.h"

namespace quorvel::testing {

struct Call {
    std::string method;
    std::string text;  // "Method(arg, arg, ...)"
};

// Render states, stage states and textures a state block records.
struct StateBlock {
    std::map<DWORD, DWORD> renderStates;
    std::map<std::pair<DWORD, DWORD>, DWORD> stageStates;  // (stage, type)
    std::map<DWORD, IDirect3DBaseTexture8*> textures;

    // What the block holds, one text each in state order: "D3DRS_ZENABLE = D3DZB_TRUE",
    // "0:D3DTSS_COLOROP = D3DTOP_MODULATE", "texture 0 = 0x1000".
    std::vector<std::string> texts() const;
};

// What a device holds between calls. States never set read as Direct3D's defaults.
struct DeviceState : StateBlock {
    std::map<DWORD, D3DMATRIX> transforms;
    D3DMATERIAL8 material{};
    std::array<D3DLIGHT8, 8> lights{};
    std::array<BOOL, 8> lightEnabled{};
    D3DVIEWPORT8 viewport{};
    DWORD fvf = 0;
    IDirect3DVertexBuffer8* stream = nullptr;
    UINT stride = 0;
    IDirect3DIndexBuffer8* indices = nullptr;
    UINT baseVertex = 0;

    DWORD renderState(D3DRENDERSTATETYPE state) const;
    DWORD stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const;
    IDirect3DBaseTexture8* texture(DWORD stage) const;
    const D3DMATRIX& transform(D3DTRANSFORMSTATETYPE type) const;
};

// The render states, stage states and textures that differ in effect between two states, one
// line each ("D3DRS_ZENABLE: D3DZB_TRUE -> D3DZB_FALSE"); empty when they agree. A state set to
// its default agrees with one never set.
std::string stateDifferences(const DeviceState& before, const DeviceState& after);

// One draw call and what it drew with.
struct Draw {
    Call call;
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    DeviceState state;                 // in force at the draw
    std::vector<std::uint8_t> bytes;   // DrawPrimitive, DrawPrimitiveUP: the vertices drawn

    template <class Vertex>
    std::vector<Vertex> vertices() const {
        std::vector<Vertex> out(bytes.size() / sizeof(Vertex));
        if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * sizeof(Vertex));
        return out;
    }
};

class RecordingDevice;

// What textures and buffers share: a reference count, a reference on the device while alive,
// and the count of live resources the device keeps.
template <class Interface>
class RecordingResource : public Interface {
public:
    RecordingResource(RecordingDevice* device, D3DPOOL pool);
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;

protected:
    ~RecordingResource() override = default;
    RecordingDevice* device_;
    D3DPOOL pool_;

private:
    ULONG refs_ = 1;
};

class RecordingTexture final : public RecordingResource<IDirect3DTexture8> {
public:
    RecordingTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // Level memory as written through locks, rows as far apart as a lock's Pitch says.
    std::vector<std::uint8_t>& levelData(UINT level) { return levels_.at(level).bytes; }
    bool locked(UINT level) const { return levels_.at(level).locked; }
    // The texels of a level row after row, without the padding at the end of each row.
    template <class Texel>
    std::vector<Texel> texels(UINT level) const {
        const Level& l = levels_.at(level);
        std::vector<Texel> out(static_cast<size_t>(l.width) * l.height);
        for (UINT y = 0; y < l.height; ++y)
            std::memcpy(&out[static_cast<size_t>(y) * l.width], &l.bytes[static_cast<size_t>(y) * l.pitch],
                        l.width * sizeof(Texel));
        return out;
    }

private:
    struct Level {
        UINT width, height, pitch;
        std::vector<std::uint8_t> bytes;
        bool locked = false;
    };
    DWORD usage_;
    D3DFORMAT format_;
    std::vector<Level> levels_;
};

// Vertex and index buffers: bytes, a lock, and a description (Desc's Size is the length).
template <class Interface, class Desc>
class RecordingBuffer final : public RecordingResource<Interface> {
public:
    RecordingBuffer(RecordingDevice* device, const char* kind, const Desc& desc);
    D3DRESOURCETYPE GetType() override { return desc_.Type; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(Desc* desc) override;

    std::vector<std::uint8_t>& bytes() { return bytes_; }
    bool locked() const { return locked_; }

private:
    std::string kind_;  // "VertexBuffer" or "IndexBuffer", in the recorded calls
    Desc desc_;
    std::vector<std::uint8_t> bytes_;
    bool locked_ = false;
};
using RecordingVertexBuffer = RecordingBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC>;
using RecordingIndexBuffer = RecordingBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC>;

class RecordingDevice final : public IDirect3DDevice8 {
public:
    // A device with a back buffer of width x height and the given Direct3D object (may be
    // null; GetDirect3D then fails). The creator holds the one reference.
    explicit RecordingDevice(UINT width = 640, UINT height = 480, IDirect3D8* direct3d = nullptr);

    // --- what tests read --------------------------------------------------------------------
    const std::vector<Call>& calls() const { return calls_; }
    const std::vector<Draw>& draws() const { return draws_; }
    void clearCalls() {
        calls_.clear();
        draws_.clear();
    }
    // Texts of the calls of one method (all methods when empty), in order.
    std::vector<std::string> callTexts(const std::string& method = {}) const;
    size_t countCalls(const std::string& method) const;
    ULONG refCount() const { return refs_; }
    int liveResources() const { return liveResources_; }
    int liveDefaultPoolResources() const { return liveDefaultPool_; }
    const DeviceState& state() const { return state_; }
    bool inScene() const { return inScene_; }
    size_t stateBlockCount() const { return blocks_.size(); }
    const StateBlock* stateBlock(DWORD token) const;

    // --- what tests set ---------------------------------------------------------------------
    void fail(const std::string& method, HRESULT code) { failOnce_[method] = code; }
    void failAlways(const std::string& method, HRESULT code) { failAlways_[method] = code; }
    HRESULT cooperativeLevel = D3D_OK;
    D3DCAPS8 caps{};
    D3DDISPLAYMODE displayMode{640, 480, 60, D3DFMT_X8R8G8B8};
    D3DDEVICE_CREATION_PARAMETERS creationParameters{0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING};
    D3DPRESENT_PARAMETERS presentParameters{};
    // New textures get this many extra bytes at the end of every row and their memory starts
    // as textureFill, so code that ignores the pitch or leaves texels unwritten shows up.
    UINT textureRowPadding = 0;
    std::uint8_t textureFill = 0;
    // Told of every call as it is recorded, and of each Release by the application (as a Call
    // "Release()", not kept in calls()), so a test can log them among its own events.
    std::function<void(const Call&)> observer;

    // Used by the device's own objects.
    void resourceCreated(D3DPOOL pool);
    // A resource is gone: it no longer counts and gives back its reference on the device.
    void resourceDestroyed(D3DPOOL pool);
    // Gives back a reference held by one of the device's own objects (not an application
    // Release: the observer is not told). The last one deletes the device.
    ULONG releaseChildReference();
    // Records a call; returns the failure injected for its method, or D3D_OK.
    HRESULT record(const std::string& method, std::initializer_list<Arg> args);

    // --- IDirect3DDevice8 (see platform/d3d8/d3d8.h) ------------------------------------------
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override { return 64u << 20; }
    HRESULT GetDirect3D(IDirect3D8**) override;
    HRESULT GetDeviceCaps(D3DCAPS8*) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE*) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS*) override;
    void SetCursorPosition(int, int, DWORD) override;
    BOOL ShowCursor(BOOL) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override;
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override;
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8**) override;
    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture8**) override;
    HRESULT CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8**) override;
    HRESULT CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer8**) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override;
    HRESULT SetViewport(const D3DVIEWPORT8*) override;
    HRESULT GetViewport(D3DVIEWPORT8*) override;
    HRESULT SetMaterial(const D3DMATERIAL8*) override;
    HRESULT GetMaterial(D3DMATERIAL8*) override;
    HRESULT SetLight(DWORD, const D3DLIGHT8*) override;
    HRESULT GetLight(DWORD, D3DLIGHT8*) override;
    HRESULT LightEnable(DWORD, BOOL) override;
    HRESULT GetLightEnable(DWORD, BOOL*) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE, DWORD*) override;
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture8*) override;
    HRESULT GetTexture(DWORD, IDirect3DBaseTexture8**) override;
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override;
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD*) override;
    HRESULT ApplyStateBlock(DWORD) override;
    HRESULT CaptureStateBlock(DWORD) override;
    HRESULT DeleteStateBlock(DWORD) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE, DWORD*) override;
    HRESULT SetVertexShader(DWORD) override;
    HRESULT GetVertexShader(DWORD*) override;
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer8*, UINT) override;
    HRESULT GetStreamSource(UINT, IDirect3DVertexBuffer8**, UINT*) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8*, UINT) override;
    HRESULT GetIndices(IDirect3DIndexBuffer8**, UINT*) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, UINT, UINT, UINT, UINT) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT, const void*, UINT) override;

private:
    ~RecordingDevice() override;
    // The injected failure for this call, or D3D_OK.
    HRESULT injected(const std::string& method);
    // Where state calls go: the block being recorded, or the device's own state.
    StateBlock& stateTarget() { return recording_ ? recordingBlock_ : state_; }
    // What creating either buffer shares: the checks, the recorded result, the new buffer.
    template <class Buffer, class Desc, class Interface>
    HRESULT createBuffer(HRESULT recorded, const char* kind, const Desc& desc, Interface** buffer);
    // Records a draw with the state in force and the vertices it drew (if any).
    HRESULT addDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, const std::uint8_t* vertices, size_t length);

    ULONG refs_ = 1;
    IDirect3D8* direct3d_;
    std::vector<Call> calls_;
    std::vector<Draw> draws_;
    std::map<std::string, HRESULT> failOnce_, failAlways_;
    int liveResources_ = 0, liveDefaultPool_ = 0;
    DeviceState state_;
    bool inScene_ = false;

    std::map<DWORD, StateBlock> blocks_;
    bool recording_ = false;
    StateBlock recordingBlock_;
    DWORD nextBlock_ = 1;
};

}  // namespace quorvel::testing
