// A recorded set of device states: which states it holds (masks) and their values.
#pragma once

#include <array>
#include <bitset>

#include "platform/gl/DeviceState.h"

namespace quorvel::gl {

class GlTexture;
class GlVertexBuffer;
class GlIndexBuffer;

struct StateBlock {
    DeviceState values;
    std::bitset<D3DRS_STATE_COUNT> renderStates;
    std::array<std::bitset<D3DTSS_STATE_COUNT>, kStageCount> stageStates;
    std::array<bool, kTransformSlotCount> transforms{};
    bool material = false;
    std::array<bool, kMaxLights> lights{};
    std::array<bool, kMaxLights> lightEnables{};
    bool viewport = false;
    bool fvf = false;
    // Bindings: the block keeps each bound object alive (see DeviceChild::bind).
    std::array<bool, kStageCount> textureSet{};
    std::array<GlTexture*, kStageCount> textures{};
    bool streamSet = false;
    GlVertexBuffer* stream = nullptr;
    UINT streamStride = 0;
    bool indicesSet = false;
    GlIndexBuffer* indices = nullptr;
    UINT baseVertex = 0;
};

}  // namespace quorvel::gl
