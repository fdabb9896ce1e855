// State blocks, Reset and the pools, reference counts, enumeration answers and the shader cache.
#include "GlFixture.h"
#include "platform/gl/GlDevice.h"

namespace quorvel::testing {
namespace {

class DeviceLifeTest : public GlDeviceTest {
protected:
    DWORD renderState(D3DRENDERSTATETYPE s) {
        DWORD v = 0xDEADBEEFu;
        EXPECT_EQ(device_->GetRenderState(s, &v), D3D_OK);
        return v;
    }
    DWORD stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE s) {
        DWORD v = 0xDEADBEEFu;
        EXPECT_EQ(device_->GetTextureStageState(stage, s, &v), D3D_OK);
        return v;
    }
};

TEST_F(DeviceLifeTest, DefaultStatesAreDirect3DsOwn) {
    EXPECT_EQ(renderState(D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    EXPECT_EQ(renderState(D3DRS_LOCALVIEWER), static_cast<DWORD>(TRUE));
    EXPECT_EQ(renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(renderState(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_LESSEQUAL));
    EXPECT_EQ(renderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));  // auto depth buffer
    EXPECT_EQ(renderState(D3DRS_AMBIENT), 0u);
    EXPECT_EQ(stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(stageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(stageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(stageState(0, D3DTSS_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    D3DVIEWPORT8 vp;
    ASSERT_EQ(device_->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.Width, kWidth);
    EXPECT_EQ(vp.Height, kHeight);
    EXPECT_EQ(vp.MaxZ, 1.0f);
}

TEST_F(DeviceLifeTest, StateBlockRecordsWithoutApplyingAndRestoresWhatItCaptured) {
    ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    DWORD block = 0;
    ASSERT_EQ(device_->EndStateBlock(&block), D3D_OK);
    ASSERT_NE(block, 0u);
    // Recording did not change the device.
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(stageState(0, D3DTSS_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));

    ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(renderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(stageState(0, D3DTSS_MINFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));

    // Capture takes the current values of the recorded states only.
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    ASSERT_EQ(device_->CaptureStateBlock(block), D3D_OK);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVDESTCOLOR);
    device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(renderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(stageState(0, D3DTSS_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(renderState(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_GREATER)) << "not in the block";

    ASSERT_EQ(device_->DeleteStateBlock(block), D3D_OK);
    EXPECT_EQ(device_->ApplyStateBlock(block), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->EndStateBlock(&block), D3DERR_INVALIDCALL) << "not recording";
}

TEST_F(DeviceLifeTest, StateBlockRestoresTheTextureAndDrawsWithIt) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int i = 0; i < 2; ++i) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + i * locked.Pitch);
        row[0] = row[1] = 0x0000FF00u;
    }
    texture->UnlockRect(0);
    ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
    device_->SetTexture(0, texture);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    DWORD block = 0;
    ASSERT_EQ(device_->EndStateBlock(&block), D3D_OK);
    // The application lets go of the texture; the block keeps it usable.
    EXPECT_EQ(texture->Release(), 0u);
    ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    drawScreenRect(0, 0, 64, 64, 0xFFFFFFFFu);
    capture();
    EXPECT_EQ(pixel(5, 5).g, 255);
    device_->SetTexture(0, nullptr);
    EXPECT_EQ(device_->DeleteStateBlock(block), D3D_OK);
}

TEST_F(DeviceLifeTest, CreateStateBlockAllCapturesEverything) {
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DMATERIAL8 material{};
    material.Power = 7.0f;
    device_->SetMaterial(&material);
    DWORD block = 0;
    ASSERT_EQ(device_->CreateStateBlock(D3DSBT_ALL, &block), D3D_OK);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    material.Power = 1.0f;
    device_->SetMaterial(&material);
    ASSERT_EQ(device_->ApplyStateBlock(block), D3D_OK);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    D3DMATERIAL8 back{};
    device_->GetMaterial(&back);
    EXPECT_EQ(back.Power, 7.0f);
    EXPECT_EQ(device_->DeleteStateBlock(block), D3D_OK);
}

TEST_F(DeviceLifeTest, ResetFailsWhileDefaultPoolResourcesLive) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, kMeshFvf, D3DPOOL_DEFAULT, &buffer), D3D_OK);
    IDirect3DTexture8* managed = nullptr;
    ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(managed->LockRect(0, &locked, nullptr, 0), D3D_OK);
    static_cast<DWORD*>(locked.pBits)[0] = 0xFF123456u;
    managed->UnlockRect(0);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    D3DPRESENT_PARAMETERS p = windowedParameters();
    p.BackBufferWidth = 32;
    p.BackBufferHeight = 16;
    EXPECT_EQ(device_->Reset(&p), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Release(), 0u);
    ASSERT_EQ(device_->Reset(&p), D3D_OK);

    // The new size is in force and states are back to their defaults.
    D3DVIEWPORT8 vp;
    device_->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 32u);
    EXPECT_EQ(vp.Height, 16u);
    EXPECT_EQ(renderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    capture();
    EXPECT_EQ(frame_.width, 32u);
    EXPECT_EQ(frame_.height, 16u);

    // The managed texture kept its contents.
    ASSERT_EQ(managed->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[0], 0xFF123456u);
    managed->UnlockRect(0);
    EXPECT_EQ(managed->Release(), 0u);
}

TEST_F(DeviceLifeTest, ReferenceCountsReachZeroAndLiveResourcesHoldTheDevice) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    // GetTexture hands out a reference of its own.
    device_->SetTexture(0, texture);
    IDirect3DBaseTexture8* got = nullptr;
    ASSERT_EQ(device_->GetTexture(0, &got), D3D_OK);
    EXPECT_EQ(got, static_cast<IDirect3DBaseTexture8*>(texture));
    EXPECT_EQ(got->Release(), 1u);
    IDirect3DDevice8* owner = nullptr;
    ASSERT_EQ(texture->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device_);
    owner->Release();
    IDirect3D8* d3d = nullptr;
    ASSERT_EQ(device_->GetDirect3D(&d3d), D3D_OK);
    EXPECT_EQ(d3d, d3d_);
    d3d->Release();

    // Releasing the device while the texture lives leaves a count.
    EXPECT_EQ(device_->Release(), 1u);
    // The texture's last release takes the device with it (bound or not).
    EXPECT_EQ(texture->Release(), 0u);
    device_ = nullptr;
}

TEST_F(DeviceLifeTest, BuffersLockWithinTheirLengthAndDrawIndexed) {
    IDirect3DVertexBuffer8* vb = nullptr;
    IDirect3DIndexBuffer8* ib = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(4 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, kScreenFvf, D3DPOOL_DEFAULT, &vb),
              D3D_OK);
    ASSERT_EQ(device_->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib), D3D_OK);
    BYTE* data = nullptr;
    EXPECT_EQ(vb->Lock(0, 1000, &data, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    const ScreenVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFF00FFu, 0, 0},
                                  {15.5f, -0.5f, 0.5f, 1, 0xFFFF00FFu, 0, 0},
                                  {-0.5f, 15.5f, 0.5f, 1, 0xFFFF00FFu, 0, 0},
                                  {15.5f, 15.5f, 0.5f, 1, 0xFFFF00FFu, 0, 0}};
    std::memcpy(data, quad, sizeof quad);
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL) << "already locked";
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
    const WORD indices[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(data, indices, sizeof indices);
    ASSERT_EQ(ib->Unlock(), D3D_OK);

    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device_->SetVertexShader(kScreenFvf);
    device_->SetStreamSource(0, vb, sizeof(ScreenVertex));
    device_->SetIndices(ib, 0);
    ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    capture();
    EXPECT_EQ(countPixels(255, 0, 255, 0), 16 * 16);
    // Indices past the index buffer, or vertices past the vertex buffer, are refused.
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    device_->SetIndices(ib, 1);
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL);

    // Released while still set on the device: they stay usable until unbound.
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
    device_->SetIndices(ib, 0);
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    device_->SetStreamSource(0, nullptr, 0);
    device_->SetIndices(nullptr, 0);
    D3DPRESENT_PARAMETERS p = windowedParameters();
    EXPECT_EQ(device_->Reset(&p), D3D_OK) << "nothing of the default pool is left";
}

TEST_F(DeviceLifeTest, ShadersAreBuiltOncePerStateCombination) {
    auto* gl = dynamic_cast<quorvel::gl::GlDevice*>(device_);
    ASSERT_NE(gl, nullptr);
    // Programs remembered from earlier runs in this folder are already built.
    const size_t builtAhead = gl->programCount();
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    for (int frame = 0; frame < 20; ++frame) {
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, frame % 2);
        device_->SetRenderState(D3DRS_ALPHATESTENABLE, frame % 2);
        drawScreenRect(0, 0, 8, 8, 0xFFFFFFFFu);
    }
    // Blending is GL state, the alpha test is shader code: two programs in all.
    EXPECT_EQ(gl->usedProgramCount(), 2u);
    EXPECT_LE(gl->programCount(), builtAhead + 2);
}

TEST_F(DeviceLifeTest, EnumerationAnswersForTheShell) {
    ASSERT_GE(d3d_->GetAdapterCount(), 1u);
    D3DDISPLAYMODE desktop;
    ASSERT_EQ(d3d_->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_GT(desktop.Width, 0u);
    EXPECT_EQ(d3d_->CheckDeviceType(0, D3DDEVTYPE_HAL, desktop.Format, desktop.Format, TRUE), D3D_OK);
    EXPECT_EQ(d3d_->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_A4R4G4B4, D3DFMT_A4R4G4B4, TRUE), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, desktop.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                      D3DFMT_D16),
              D3D_OK);
    EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, desktop.Format, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                      D3DFMT_D15S1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d_->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, desktop.Format, desktop.Format, D3DFMT_D16), D3D_OK);
    EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, desktop.Format, 0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4), D3D_OK);
    D3DCAPS8 caps;
    ASSERT_EQ(d3d_->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3D_OK);
    EXPECT_TRUE(caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_GE(caps.MaxTextureWidth, 256u);
    EXPECT_EQ(d3d_->GetDeviceCaps(5, D3DDEVTYPE_HAL, &caps), D3DERR_INVALIDCALL);
    D3DDEVICE_CREATION_PARAMETERS cp;
    ASSERT_EQ(device_->GetCreationParameters(&cp), D3D_OK);
    EXPECT_EQ(cp.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(cp.BehaviorFlags, D3DCREATE_HARDWARE_VERTEXPROCESSING);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK) << "windowed devices are never lost";
    EXPECT_EQ(Direct3DCreate8(119), nullptr);
}

TEST_F(DeviceLifeTest, ReferenceDeviceDraws) {
    device_->Release();
    device_ = nullptr;
    ASSERT_EQ(createDevice(D3DDEVTYPE_REF), D3D_OK);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0);
    drawScreenRect(0, 0, 8, 8, 0xFFFF0000u);
    capture();
    EXPECT_EQ(pixel(1, 1).r, 255);
    EXPECT_EQ(pixel(20, 20).b, 255);
}

}  // namespace
}  // namespace quorvel::testing
