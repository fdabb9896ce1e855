// The recording device and the fake Direct3D object that other areas' tests rely on.
#include <gtest/gtest.h>

#include <cstring>

#include "support/FakeDirect3D.h"
#include "support/RecordingDevice.h"

namespace quorvel::testing {
namespace {

TEST(RecordingDeviceTest, RecordsCallsInOrderAndTracksCurrentState) {
    auto* device = new RecordingDevice(320, 200);
    EXPECT_EQ(device->state().renderState(D3DRS_LIGHTING), static_cast<DWORD>(TRUE)) << "Direct3D default";
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    EXPECT_EQ(device->callTexts(),
              (std::vector<std::string>{"SetRenderState(D3DRS_LIGHTING, 0)",
                                        "SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1)",
                                        "Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1, 0)"}));
    EXPECT_EQ(device->state().renderState(D3DRS_LIGHTING), static_cast<DWORD>(FALSE));
    EXPECT_EQ(device->state().stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(device->state().stageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    D3DVIEWPORT8 vp;
    ASSERT_EQ(device->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.Width, 320u);
    EXPECT_EQ(device->Release(), 0u);
}

TEST(RecordingDeviceTest, StateBlocksRecordWithoutApplyingThenRestore) {
    auto* device = new RecordingDevice();
    device->BeginStateBlock();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    DWORD block = 0;
    ASSERT_EQ(device->EndStateBlock(&block), D3D_OK);
    EXPECT_EQ(device->state().renderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 7);
    ASSERT_EQ(device->CaptureStateBlock(block), D3D_OK);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 9);
    ASSERT_EQ(device->ApplyStateBlock(block), D3D_OK);
    EXPECT_EQ(device->state().renderState(D3DRS_ALPHABLENDENABLE), 7u);
    EXPECT_EQ(device->DeleteStateBlock(block), D3D_OK);
    EXPECT_EQ(device->DeleteStateBlock(block), D3DERR_INVALIDCALL);
    device->Release();
}

TEST(RecordingDeviceTest, ResourcesHaveMemoryAndHoldTheDevice) {
    auto* device = new RecordingDevice();
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 8, 0, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 5u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    static_cast<BYTE*>(locked.pBits)[3] = 0xAB;
    texture->UnlockRect(1);
    EXPECT_EQ(static_cast<RecordingTexture*>(texture)->levelData(1)[3], 0xAB);

    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0x112, D3DPOOL_DEFAULT, &vb), D3D_OK);
    BYTE* data = nullptr;
    EXPECT_EQ(vb->Lock(60, 8, &data, 0), D3DERR_INVALIDCALL) << "past the end";
    EXPECT_EQ(device->liveResources(), 2);
    EXPECT_EQ(device->liveDefaultPoolResources(), 1);
    D3DPRESENT_PARAMETERS p = device->presentParameters;
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(device->Reset(&p), D3D_OK);

    EXPECT_EQ(device->Release(), 1u) << "the live texture holds the device";
    EXPECT_EQ(texture->Release(), 0u);  // and takes it along
}

TEST(RecordingDeviceTest, InjectedFailuresComeOnceOrAlways) {
    auto* device = new RecordingDevice();
    device->fail("BeginScene", E_FAIL);
    EXPECT_EQ(device->BeginScene(), E_FAIL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    device->failAlways("CreateTexture", D3DERR_OUTOFVIDEOMEMORY);
    IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(1);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_OUTOFVIDEOMEMORY);
    device->cooperativeLevel = D3DERR_DEVICELOST;
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->countCalls("CreateTexture"), 2u);
    device->Release();
}

TEST(RecordingDeviceTest, DrawsKeepTheirStateAndVerticesAndRefuseLockedOrShortBuffers) {
    auto* device = new RecordingDevice();
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(6 * sizeof(float), 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &vb), D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    const float points[6] = {1, 2, 3, 4, 5, 6};
    std::memcpy(data, points, sizeof points);
    device->SetStreamSource(0, vb, 3 * sizeof(float));
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, 2), D3DERR_INVALIDCALL) << "still locked";
    vb->Unlock();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 1, 1), D3D_OK);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 1, 2), D3DERR_INVALIDCALL) << "past the end";

    ASSERT_EQ(device->draws().size(), 1u);
    const Draw& draw = device->draws()[0];
    EXPECT_EQ(draw.call.text, "DrawPrimitive(D3DPT_POINTLIST, 1, 1)");
    EXPECT_EQ(draw.state.texts(), std::vector<std::string>{"D3DRS_CULLMODE = D3DCULL_NONE"});
    EXPECT_EQ(draw.vertices<D3DVECTOR>().at(0).z, 6.0f);
    EXPECT_EQ(stateDifferences(draw.state, device->state()), "D3DRS_CULLMODE: D3DCULL_NONE -> D3DCULL_CW\n");

    // Discarding hands out fresh memory, as a driver may.
    ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_EQ(data[0], 0xCD);
    vb->Unlock();
    EXPECT_EQ(vb->Release(), 0u);
    device->Release();
}

TEST(RecordingDeviceTest, ConstantsReadByName) {
    EXPECT_EQ(stageStateValue(D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT), "D3DTA_TEXTURE|D3DTA_COMPLEMENT");
    EXPECT_EQ(stageStateValue(D3DTSS_COLORARG2, D3DTA_DIFFUSE), "D3DTA_DIFFUSE");
    EXPECT_EQ(usageFlags(D3DUSAGE_DYNAMIC | 0x8000u), "D3DUSAGE_DYNAMIC|0x8000");
    EXPECT_EQ(usageFlags(0), "0");
    EXPECT_EQ(vertexFormatFlags(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2),
              "D3DFVF_XYZRHW|D3DFVF_DIFFUSE|D3DFVF_TEX2");
    EXPECT_EQ(renderStateValue(D3DRS_LIGHTING, TRUE), "1");
    EXPECT_EQ(renderStateValue(D3DRS_TEXTUREFACTOR, 0xFF102030u), "0xFF102030");
    EXPECT_EQ(renderStateName(250), "250");
}

TEST(FakeDirect3DTest, AnswersFromItsTablesAndMakesRecordingDevices) {
    auto* d3d = new FakeDirect3D();
    d3d->adapters[0].hal.multiSamples = {{TRUE, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_2_SAMPLES}};
    EXPECT_EQ(d3d->GetAdapterCount(), 1u);
    EXPECT_EQ(d3d->GetAdapterModeCount(0), 4u);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, TRUE), D3DERR_NOTAVAILABLE)
        << "windowed needs the desktop format";
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                     D3DFMT_D32),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_2_SAMPLES),
              D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, FALSE, D3DMULTISAMPLE_2_SAMPLES),
              D3DERR_NOTAVAILABLE)
        << "accepted in a window only";
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_2_SAMPLES),
              D3DERR_NOTAVAILABLE);
    d3d->adapters[0].ref.available = false;
    D3DCAPS8 caps;
    EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);

    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = 300;
    p.BackBufferHeight = 200;
    p.Windowed = TRUE;
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device), D3D_OK);
    ASSERT_EQ(device, d3d->lastDevice);
    EXPECT_EQ(d3d->refCount(), 2u) << "the device holds the Direct3D object";
    D3DDEVICE_CREATION_PARAMETERS cp;
    device->GetCreationParameters(&cp);
    EXPECT_EQ(cp.BehaviorFlags, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    EXPECT_EQ(d3d->calls.back(), "CreateDevice(0, D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING)");
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

}  // namespace
}  // namespace quorvel::testing
