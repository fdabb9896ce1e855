// A device for the shell tests: it scripts what the shell asks of a device (cooperative level,
// Reset, Present, back-buffer size, reference count) and logs those calls into a shared journal
// together with the hooks, so a test can check their order. Drawing calls succeed and do nothing.
#pragma once

#include "platform/d3d8/d3d8.h"

#include <deque>
#include <string>
#include <vector>

namespace quorvel::testing {

class ShellTestSurface final : public IDirect3DSurface8 {
public:
    D3DSURFACE_DESC desc{};
    ULONG refs = 1;
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetDevice(IDirect3DDevice8**) override { return D3DERR_INVALIDCALL; }
    HRESULT GetDesc(D3DSURFACE_DESC* d) override { *d = desc; return D3D_OK; }
    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockRect() override { return D3DERR_INVALIDCALL; }
};

class ShellTestDevice final : public IDirect3DDevice8 {
public:
    explicit ShellTestDevice(std::vector<std::string>& journal) : journal_(journal) {}

    // Results TestCooperativeLevel returns, one per call; D3D_OK once the script is used up.
    std::deque<HRESULT> cooperativeLevels;
    HRESULT resetResult = D3D_OK;
    ULONG refs = 1;
    ULONG extraRefsOnRelease = 0;  // references someone else still holds
    std::vector<D3DPRESENT_PARAMETERS> resets;
    std::vector<std::pair<int, int>> cursorPositions;
    int presents = 0;
    ShellTestSurface backBuffer;

    void setBackBufferSize(const D3DPRESENT_PARAMETERS& pp) {
        backBuffer.desc.Width = pp.BackBufferWidth;
        backBuffer.desc.Height = pp.BackBufferHeight;
        backBuffer.desc.Format = pp.BackBufferFormat;
    }

    ULONG AddRef() override { return ++refs; }
    ULONG Release() override {
        journal_.push_back("Release");
        --refs;
        return refs + extraRefsOnRelease;
    }
    HRESULT TestCooperativeLevel() override {
        if (cooperativeLevels.empty()) return D3D_OK;
        const HRESULT hr = cooperativeLevels.front();
        cooperativeLevels.pop_front();
        return hr;
    }
    UINT GetAvailableTextureMem() override { return 64u << 20; }
    HRESULT GetDirect3D(IDirect3D8**) override { return D3DERR_INVALIDCALL; }
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override { *caps = D3DCAPS8{}; return D3D_OK; }
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override { *mode = D3DDISPLAYMODE{}; return D3D_OK; }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* p) override { *p = {}; return D3D_OK; }
    void SetCursorPosition(int x, int y, DWORD) override { cursorPositions.push_back({x, y}); }
    BOOL ShowCursor(BOOL) override { return FALSE; }
    HRESULT Reset(D3DPRESENT_PARAMETERS* pp) override {
        journal_.push_back("Reset");
        resets.push_back(*pp);
        if (SUCCEEDED(resetResult)) setBackBufferSize(*pp);
        return resetResult;
    }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override {
        journal_.push_back("Present");
        ++presents;
        return D3D_OK;
    }
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) override {
        backBuffer.AddRef();
        *surface = &backBuffer;
        return D3D_OK;
    }
    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture8**) override { return D3DERR_INVALIDCALL; }
    HRESULT CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8**) override { return D3DERR_INVALIDCALL; }
    HRESULT CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer8**) override { return D3DERR_INVALIDCALL; }
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
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT GetRenderState(D3DRENDERSTATETYPE, DWORD*) override { return D3D_OK; }
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture8*) override { return D3D_OK; }
    HRESULT GetTexture(DWORD, IDirect3DBaseTexture8** t) override { *t = nullptr; return D3D_OK; }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return D3D_OK; }
    HRESULT BeginStateBlock() override { return D3D_OK; }
    HRESULT EndStateBlock(DWORD* t) override { *t = 1; return D3D_OK; }
    HRESULT ApplyStateBlock(DWORD) override { return D3D_OK; }
    HRESULT CaptureStateBlock(DWORD) override { return D3D_OK; }
    HRESULT DeleteStateBlock(DWORD) override { return D3D_OK; }
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE, DWORD* t) override { *t = 1; return D3D_OK; }
    HRESULT SetVertexShader(DWORD) override { return D3D_OK; }
    HRESULT GetVertexShader(DWORD*) override { return D3D_OK; }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer8*, UINT) override { return D3D_OK; }
    HRESULT GetStreamSource(UINT, IDirect3DVertexBuffer8** v, UINT*) override { *v = nullptr; return D3D_OK; }
    HRESULT SetIndices(IDirect3DIndexBuffer8*, UINT) override { return D3D_OK; }
    HRESULT GetIndices(IDirect3DIndexBuffer8** i, UINT*) override { *i = nullptr; return D3D_OK; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return D3D_OK; }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, UINT, UINT, UINT, UINT) override { return D3D_OK; }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT, const void*, UINT) override { return D3D_OK; }

private:
    std::vector<std::string>& journal_;
};

}  // namespace quorvel::testing
