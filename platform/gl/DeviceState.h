// Every value of the fixed-function pipeline that the device keeps, in Direct3D 8 terms.
// The GL device holds one of these as its current state; state blocks hold copies of the
// parts they recorded.
#pragma once

#include <array>

#include "platform/d3d8/d3d8.h"

namespace quorvel::gl {

constexpr DWORD kMaxLights = 8;
constexpr DWORD kStageCount = D3DTSS_STAGE_COUNT;
// Transforms the device keeps: view, projection, world, and the texture transforms.
enum TransformSlot { kView, kProjection, kWorld, kTransformSlotCount };

struct DeviceState {
    std::array<DWORD, D3DRS_STATE_COUNT> renderStates{};
    std::array<std::array<DWORD, D3DTSS_STATE_COUNT>, kStageCount> stageStates{};
    std::array<D3DMATRIX, kTransformSlotCount> transforms{};
    D3DMATERIAL8 material{};
    std::array<D3DLIGHT8, kMaxLights> lights{};
    std::array<BOOL, kMaxLights> lightEnabled{};
    D3DVIEWPORT8 viewport{};
    DWORD fvf = 0;
};

// Direct3D 8's initial values for a device whose back buffer is width x height.
DeviceState defaultDeviceState(UINT width, UINT height, bool depthBuffer);

// Maps a Direct3D transform type to the slot the device keeps, or -1 for transforms it ignores
// (world matrices other than 0; texture transforms are accepted and ignored).
int transformSlot(D3DTRANSFORMSTATETYPE type);

// Fills a light with Direct3D's default: a white directional light shining along +z.
D3DLIGHT8 defaultLight();

}  // namespace quorvel::gl
