// GlDevice: state blocks. Recording (Begin/EndStateBlock), creating one that captures a group
// of the current states, capturing into and applying a block, and deleting it. Applying goes
// through the ordinary setters, so unchanged states cost nothing.
#include <memory>
#include <utility>

#include "platform/gl/GlDevice.h"
#include "platform/gl/GlResources.h"

namespace quorvel::gl {

void GlDevice::releaseStateBlock(StateBlock& block) {
    for (auto*& t : block.textures)
        if (t) {
            t->unbind();
            t = nullptr;
        }
    if (block.stream) block.stream->unbind();
    if (block.indices) block.indices->unbind();
    block.stream = nullptr;
    block.indices = nullptr;
}

HRESULT GlDevice::BeginStateBlock() {
    if (recording_) return D3DERR_INVALIDCALL;
    recording_ = std::make_unique<StateBlock>();
    return D3D_OK;
}

HRESULT GlDevice::EndStateBlock(DWORD* token) {
    if (!token || !recording_) return D3DERR_INVALIDCALL;
    const DWORD id = nextStateBlock_++;
    stateBlocks_[id] = std::move(recording_);
    *token = id;
    return D3D_OK;
}

HRESULT GlDevice::ApplyStateBlock(DWORD token) {
    if (recording_) return D3DERR_INVALIDCALL;
    auto it = stateBlocks_.find(token);
    if (it == stateBlocks_.end()) return D3DERR_INVALIDCALL;
    const StateBlock& b = *it->second;
    for (DWORD rs = 0; rs < D3DRS_STATE_COUNT; ++rs)
        if (b.renderStates.test(rs)) SetRenderState(static_cast<D3DRENDERSTATETYPE>(rs), b.values.renderStates[rs]);
    for (DWORD s = 0; s < kStageCount; ++s) {
        for (DWORD t = 0; t < D3DTSS_STATE_COUNT; ++t)
            if (b.stageStates[s].test(t))
                SetTextureStageState(s, static_cast<D3DTEXTURESTAGESTATETYPE>(t), b.values.stageStates[s][t]);
        if (b.textureSet[s]) setTextureBinding(s, b.textures[s]);
    }
    static constexpr D3DTRANSFORMSTATETYPE kTypes[kTransformSlotCount] = {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_WORLD};
    for (int slot = 0; slot < kTransformSlotCount; ++slot)
        if (b.transforms[slot]) SetTransform(kTypes[slot], &b.values.transforms[slot]);
    if (b.material) SetMaterial(&b.values.material);
    for (DWORD i = 0; i < kMaxLights; ++i) {
        if (b.lights[i]) SetLight(i, &b.values.lights[i]);
        if (b.lightEnables[i]) LightEnable(i, b.values.lightEnabled[i]);
    }
    if (b.viewport) SetViewport(&b.values.viewport);
    if (b.fvf) SetVertexShader(b.values.fvf);
    if (b.streamSet && (b.stream != stream_ || b.streamStride != streamStride_))
        setStreamBinding(b.stream, b.streamStride);
    if (b.indicesSet && (b.indices != indices_ || b.baseVertex != baseVertex_))
        setIndexBinding(b.indices, b.baseVertex);
    return D3D_OK;
}

void GlDevice::captureInto(StateBlock& b) {
    for (DWORD rs = 0; rs < D3DRS_STATE_COUNT; ++rs)
        if (b.renderStates.test(rs)) b.values.renderStates[rs] = state_.renderStates[rs];
    for (DWORD s = 0; s < kStageCount; ++s) {
        for (DWORD t = 0; t < D3DTSS_STATE_COUNT; ++t)
            if (b.stageStates[s].test(t)) b.values.stageStates[s][t] = state_.stageStates[s][t];
        if (b.textureSet[s] && b.textures[s] != textures_[s]) {
            if (textures_[s]) textures_[s]->bind();
            if (b.textures[s]) b.textures[s]->unbind();
            b.textures[s] = textures_[s];
        }
    }
    for (int slot = 0; slot < kTransformSlotCount; ++slot)
        if (b.transforms[slot]) b.values.transforms[slot] = state_.transforms[slot];
    if (b.material) b.values.material = state_.material;
    for (DWORD i = 0; i < kMaxLights; ++i) {
        if (b.lights[i]) b.values.lights[i] = state_.lights[i];
        if (b.lightEnables[i]) b.values.lightEnabled[i] = state_.lightEnabled[i];
    }
    if (b.viewport) b.values.viewport = state_.viewport;
    if (b.fvf) b.values.fvf = state_.fvf;
    if (b.streamSet) {
        if (stream_) stream_->bind();
        if (b.stream) b.stream->unbind();
        b.stream = stream_;
        b.streamStride = streamStride_;
    }
    if (b.indicesSet) {
        if (indices_) indices_->bind();
        if (b.indices) b.indices->unbind();
        b.indices = indices_;
        b.baseVertex = baseVertex_;
    }
}

HRESULT GlDevice::CaptureStateBlock(DWORD token) {
    if (recording_) return D3DERR_INVALIDCALL;
    auto it = stateBlocks_.find(token);
    if (it == stateBlocks_.end()) return D3DERR_INVALIDCALL;
    captureInto(*it->second);
    return D3D_OK;
}

HRESULT GlDevice::DeleteStateBlock(DWORD token) {
    if (recording_) return D3DERR_INVALIDCALL;
    auto it = stateBlocks_.find(token);
    if (it == stateBlocks_.end()) return D3DERR_INVALIDCALL;
    releaseStateBlock(*it->second);
    stateBlocks_.erase(it);
    return D3D_OK;
}

HRESULT GlDevice::CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) {
    if (!token || recording_ || type < D3DSBT_ALL || type > D3DSBT_VERTEXSTATE) return D3DERR_INVALIDCALL;
    auto b = std::make_unique<StateBlock>();
    const bool pixel = type != D3DSBT_VERTEXSTATE;
    const bool vertex = type != D3DSBT_PIXELSTATE;
    // Render states belong to both groups here; the split matters only for which of the
    // other states are included.
    b->renderStates.set();
    if (pixel) {
        for (auto& s : b->stageStates) s.set();
        b->textureSet.fill(true);
    }
    if (vertex) {
        b->transforms.fill(true);
        b->material = true;
        b->lights.fill(true);
        b->lightEnables.fill(true);
        b->fvf = true;
    }
    if (type == D3DSBT_ALL) {
        b->viewport = true;
        b->streamSet = true;
        b->indicesSet = true;
    }
    captureInto(*b);
    const DWORD id = nextStateBlock_++;
    stateBlocks_[id] = std::move(b);
    *token = id;
    return D3D_OK;
}

}  // namespace quorvel::gl
