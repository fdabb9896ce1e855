// A device double for the font tests: textures and vertex buffers in memory with reference
// counts, render/stage/texture states with state blocks that record, capture and apply as
// Direct3D 8's do, and a log of every draw call with the vertices it drew.
#pragma once

#include "font/OverlayFont.h"
#include "platform/d3d8/d3d8.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvel::testing {

class FontTestDevice final : public IDirect3DDevice8 {
public:
    // A state's key: render state, texture stage state or stage texture.
    static std::uint64_t renderKey(D3DRENDERSTATETYPE s) { return s; }
    static std::uint64_t stageKey(DWORD stage, D3DTEXTURESTAGESTATETYPE t) {
        return (1ull << 48) | (std::uint64_t{stage} << 32) | t;
    }
    static std::uint64_t textureKey(DWORD stage) { return (2ull << 48) | stage; }

    struct Draw {
        D3DPRIMITIVETYPE type;
        UINT startVertex;
        UINT primitiveCount;
        DWORD fvf;
        UINT stride;
        std::vector<OverlayFont::Vertex> vertices;  // the vertices the call drew
        std::map<std::uint64_t, std::uintptr_t> states;
    };

    FontTestDevice();
    ~FontTestDevice();

    DWORD maxTextureWidth = 4096;
    HRESULT textureResult = D3D_OK;       // CreateTexture fails with this when not D3D_OK
    HRESULT vertexBufferResult = D3D_OK;  // CreateVertexBuffer likewise

    std::map<std::uint64_t, std::uintptr_t> states;  // current values
    std::vector<Draw> draws;
    std::vector<std::string> calls;  // names of the state-block and buffer calls, in order
    int liveResources = 0;           // textures and buffers not yet released
    int liveStateBlocks() const { return static_cast<int>(blocks_.size()); }
    std::vector<std::uint64_t> blockKeys(DWORD token) const;

    // The last texture created: its size, format, pool and texels (16-bit A4R4G4B4).
    UINT textureWidth = 0, textureHeight = 0, textureLevels = 0;
    D3DFORMAT textureFormat = D3DFMT_UNKNOWN;
    D3DPOOL texturePool = D3DPOOL_DEFAULT;
    std::vector<std::uint16_t> texels() const;
    // The last vertex buffer created.
    UINT bufferLength = 0;
    DWORD bufferUsage = 0;
    D3DPOOL bufferPool = D3DPOOL_MANAGED;

    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    UINT GetAvailableTextureMem() override { return 1u << 28; }
    HRESULT GetDirect3D(IDirect3D8**) override { return D3DERR_INVALIDCALL; }
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE*) override { return D3DERR_INVALIDCALL; }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS*) override { return D3DERR_INVALIDCALL; }
    void SetCursorPosition(int, int, DWORD) override {}
    BOOL ShowCursor(BOOL) override { return FALSE; }
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override { return D3D_OK; }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override { return D3D_OK; }
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8**) override { return D3DERR_INVALIDCALL; }
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** vertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer8**) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return D3D_OK; }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return D3D_OK; }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return D3D_OK; }
    HRESULT SetViewport(const D3DVIEWPORT8*) override { return D3D_OK; }
    HRESULT GetViewport(D3DVIEWPORT8*) override { return D3D_OK; }
    HRESULT SetMaterial(const D3DMATERIAL8*) override { return D3D_OK; }
    HRESULT GetMaterial(D3DMATERIAL8*) override { return D3D_OK; }
    HRESULT SetLight(DWORD, const D3DLIGHT8*) override { return D3D_OK; }
    HRESULT GetLight(DWORD, D3DLIGHT8*) override { return D3D_OK; }
    HRESULT LightEnable(DWORD, BOOL) override { return D3D_OK; }
    HRESULT GetLightEnable(DWORD, BOOL*) override { return D3D_OK; }
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
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE, DWORD*) override { return D3DERR_INVALIDCALL; }
    HRESULT SetVertexShader(DWORD fvf) override;
    HRESULT GetVertexShader(DWORD* fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer, UINT stride) override;
    HRESULT GetStreamSource(UINT, IDirect3DVertexBuffer8**, UINT*) override { return D3DERR_INVALIDCALL; }
    HRESULT SetIndices(IDirect3DIndexBuffer8*, UINT) override { return D3D_OK; }
    HRESULT GetIndices(IDirect3DIndexBuffer8**, UINT*) override { return D3DERR_INVALIDCALL; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, UINT, UINT, UINT, UINT) override { return D3DERR_INVALIDCALL; }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT, const void*, UINT) override { return D3DERR_INVALIDCALL; }

private:
    HRESULT set(std::uint64_t key, std::uintptr_t value);

    struct Block {
        std::map<std::uint64_t, std::uintptr_t> values;
    };
    bool recording_ = false;
    Block recorded_;
    std::map<DWORD, Block> blocks_;
    DWORD nextBlock_ = 1;
    std::shared_ptr<std::vector<std::uint16_t>> texelStore_;
    IDirect3DVertexBuffer8* stream0_ = nullptr;
    UINT stride0_ = 0;
    DWORD fvf_ = 0;
};

}  // namespace quorvel::testing
