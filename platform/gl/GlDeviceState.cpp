// GlDevice: state setters and getters and bindings. A setter either records into the state
// block being recorded, or changes the current state and marks what GL must get.
#include <algorithm>
#include <cstring>

#include "platform/gl/GlDevice.h"
#include "platform/gl/GlResources.h"

namespace quorvel::gl {

namespace {

bool sameBytes(const void* a, const void* b, size_t n) { return std::memcmp(a, b, n) == 0; }

}  // namespace

void GlDevice::markRenderStateChanged(D3DRENDERSTATETYPE state) {
    switch (state) {
    case D3DRS_LIGHTING:
    case D3DRS_SPECULARENABLE:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_LOCALVIEWER:
    case D3DRS_COLORVERTEX:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_SHADEMODE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAFUNC: keyDirty_ = true; break;
    case D3DRS_AMBIENT:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_ALPHAREF: ++miscVersion_; break;
    default: pipelineDirty_ = true; break;
    }
}

void GlDevice::markStageStateChanged(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    switch (type) {
    case D3DTSS_COLOROP:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAOP:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_TEXCOORDINDEX: keyDirty_ = true; break;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
    case D3DTSS_BORDERCOLOR:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
    case D3DTSS_MIPMAPLODBIAS:
    case D3DTSS_MAXMIPLEVEL: samplerDirty_[stage] = true; break;
    default: break;
    }
}

HRESULT GlDevice::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix) {
    if (!matrix) return D3DERR_INVALIDCALL;
    const int slot = transformSlot(type);
    if (slot < 0) return D3D_OK;  // texture transforms and extra world matrices are not used
    if (recording_) {
        recording_->values.transforms[slot] = *matrix;
        recording_->transforms[slot] = true;
        return D3D_OK;
    }
    D3DMATRIX& current = state_.transforms[slot];
    if (sameBytes(&current, matrix, sizeof(D3DMATRIX))) return D3D_OK;
    current = *matrix;
    if (slot == kProjection) {
        ++projectionVersion_;
        return D3D_OK;
    }
    derivedTransformsDirty_ = true;
    ++transformVersion_;
    if (slot == kView) lightsDirty_ = true;  // lights are kept in view space
    return D3D_OK;
}

HRESULT GlDevice::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    if (!matrix) return D3DERR_INVALIDCALL;
    const int slot = transformSlot(type);
    if (slot < 0) {
        *matrix = D3DMATRIX{};
        matrix->_11 = matrix->_22 = matrix->_33 = matrix->_44 = 1.0f;
        return D3D_OK;
    }
    *matrix = state_.transforms[slot];
    return D3D_OK;
}

HRESULT GlDevice::SetViewport(const D3DVIEWPORT8* viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    if (viewport->Width == 0 || viewport->Height == 0 ||
        viewport->X + viewport->Width > parameters_.BackBufferWidth ||
        viewport->Y + viewport->Height > parameters_.BackBufferHeight || viewport->MinZ < 0.0f ||
        viewport->MaxZ > 1.0f || viewport->MinZ > viewport->MaxZ)
        return D3DERR_INVALIDCALL;
    if (recording_) {
        recording_->values.viewport = *viewport;
        recording_->viewport = true;
        return D3D_OK;
    }
    if (sameBytes(&state_.viewport, viewport, sizeof(D3DVIEWPORT8))) return D3D_OK;
    state_.viewport = *viewport;
    pipelineDirty_ = true;
    ++projectionVersion_;
    return D3D_OK;
}

HRESULT GlDevice::GetViewport(D3DVIEWPORT8* viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT GlDevice::SetMaterial(const D3DMATERIAL8* material) {
    if (!material) return D3DERR_INVALIDCALL;
    if (recording_) {
        recording_->values.material = *material;
        recording_->material = true;
        return D3D_OK;
    }
    if (sameBytes(&state_.material, material, sizeof(D3DMATERIAL8))) return D3D_OK;
    state_.material = *material;
    ++materialVersion_;
    return D3D_OK;
}

HRESULT GlDevice::GetMaterial(D3DMATERIAL8* material) {
    if (!material) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT GlDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
    if (!light || index >= kMaxLights) return D3DERR_INVALIDCALL;
    if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
    if (recording_) {
        recording_->values.lights[index] = *light;
        recording_->lights[index] = true;
        return D3D_OK;
    }
    if (sameBytes(&state_.lights[index], light, sizeof(D3DLIGHT8))) return D3D_OK;
    if (state_.lightEnabled[index] && state_.lights[index].Type != light->Type) keyDirty_ = true;
    state_.lights[index] = *light;
    lightsDirty_ = true;
    return D3D_OK;
}

HRESULT GlDevice::GetLight(DWORD index, D3DLIGHT8* light) {
    if (!light || index >= kMaxLights) return D3DERR_INVALIDCALL;
    *light = state_.lights[index];
    return D3D_OK;
}

HRESULT GlDevice::LightEnable(DWORD index, BOOL enable) {
    if (index >= kMaxLights) return D3DERR_INVALIDCALL;
    const BOOL value = enable ? TRUE : FALSE;
    if (recording_) {
        recording_->values.lightEnabled[index] = value;
        recording_->lightEnables[index] = true;
        return D3D_OK;
    }
    if (state_.lightEnabled[index] == value) return D3D_OK;
    state_.lightEnabled[index] = value;
    lightsDirty_ = true;
    keyDirty_ = true;  // the shader is unrolled for the enabled lights
    return D3D_OK;
}

HRESULT GlDevice::GetLightEnable(DWORD index, BOOL* enable) {
    if (!enable || index >= kMaxLights) return D3DERR_INVALIDCALL;
    *enable = state_.lightEnabled[index];
    return D3D_OK;
}

HRESULT GlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= D3DRS_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (recording_) {
        recording_->values.renderStates[state] = value;
        recording_->renderStates.set(state);
        return D3D_OK;
    }
    if (state_.renderStates[state] == value) return D3D_OK;
    state_.renderStates[state] = value;
    markRenderStateChanged(state);
    return D3D_OK;
}

HRESULT GlDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (!value || state >= D3DRS_STATE_COUNT) return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

void GlDevice::setTextureBinding(DWORD stage, GlTexture* texture) {
    GlTexture* old = textures_[stage];
    if (old == texture) return;
    if (texture) texture->bind();
    textures_[stage] = texture;
    textureBindingDirty_[stage] = true;
    if ((old == nullptr) != (texture == nullptr)) keyDirty_ = true;
    if (old) old->unbind();
}

void GlDevice::setStreamBinding(GlVertexBuffer* buffer, UINT stride) {
    GlVertexBuffer* old = stream_;
    if (buffer) buffer->bind();
    stream_ = buffer;
    streamStride_ = stride;
    if (old) old->unbind();
}

void GlDevice::setIndexBinding(GlIndexBuffer* buffer, UINT baseVertex) {
    GlIndexBuffer* old = indices_;
    if (buffer) buffer->bind();
    indices_ = buffer;
    baseVertex_ = baseVertex;
    if (old) old->unbind();
}

HRESULT GlDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    if (stage >= kStageCount) return D3DERR_INVALIDCALL;
    auto* t = static_cast<GlTexture*>(static_cast<IDirect3DTexture8*>(texture));
    if (t && t->owner() != this) return D3DERR_INVALIDCALL;
    if (recording_) {
        if (t) t->bind();
        if (recording_->textures[stage]) recording_->textures[stage]->unbind();
        recording_->textures[stage] = t;
        recording_->textureSet[stage] = true;
        return D3D_OK;
    }
    setTextureBinding(stage, t);
    return D3D_OK;
}

HRESULT GlDevice::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
    if (!texture || stage >= kStageCount) return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kStageCount || type >= D3DTSS_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (recording_) {
        recording_->values.stageStates[stage][type] = value;
        recording_->stageStates[stage].set(type);
        return D3D_OK;
    }
    DWORD& current = state_.stageStates[stage][type];
    if (current == value) return D3D_OK;
    current = value;
    markStageStateChanged(stage, type);
    return D3D_OK;
}

HRESULT GlDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (!value || stage >= kStageCount || type >= D3DTSS_STATE_COUNT) return D3DERR_INVALIDCALL;
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT GlDevice::SetVertexShader(DWORD fvf) {
    // Programmable vertex shaders do not exist here: only fixed vertex formats.
    if (fvf & ~(D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                D3DFVF_TEXCOUNT_MASK | 0xFFFF0000u))
        return D3DERR_INVALIDCALL;
    if (recording_) {
        recording_->values.fvf = fvf;
        recording_->fvf = true;
        return D3D_OK;
    }
    if (state_.fvf == fvf) return D3D_OK;
    state_.fvf = fvf;
    keyDirty_ = true;
    return D3D_OK;
}

HRESULT GlDevice::GetVertexShader(DWORD* fvf) {
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT GlDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer, UINT stride) {
    if (stream != 0) return D3DERR_INVALIDCALL;
    auto* b = static_cast<GlVertexBuffer*>(vertexBuffer);
    if (b && b->owner() != this) return D3DERR_INVALIDCALL;
    if (recording_) {
        if (b) b->bind();
        if (recording_->stream) recording_->stream->unbind();
        recording_->stream = b;
        recording_->streamStride = stride;
        recording_->streamSet = true;
        return D3D_OK;
    }
    if (b == stream_ && stride == streamStride_) return D3D_OK;
    setStreamBinding(b, stride);
    return D3D_OK;
}

HRESULT GlDevice::GetStreamSource(UINT stream, IDirect3DVertexBuffer8** vertexBuffer, UINT* stride) {
    if (stream != 0 || !vertexBuffer || !stride) return D3DERR_INVALIDCALL;
    *vertexBuffer = stream_;
    if (stream_) stream_->AddRef();
    *stride = streamStride_;
    return D3D_OK;
}

HRESULT GlDevice::SetIndices(IDirect3DIndexBuffer8* indexBuffer, UINT baseVertexIndex) {
    auto* b = static_cast<GlIndexBuffer*>(indexBuffer);
    if (b && b->owner() != this) return D3DERR_INVALIDCALL;
    if (recording_) {
        if (b) b->bind();
        if (recording_->indices) recording_->indices->unbind();
        recording_->indices = b;
        recording_->baseVertex = baseVertexIndex;
        recording_->indicesSet = true;
        return D3D_OK;
    }
    if (b == indices_ && baseVertexIndex == baseVertex_) return D3D_OK;
    setIndexBinding(b, baseVertexIndex);
    return D3D_OK;
}

HRESULT GlDevice::GetIndices(IDirect3DIndexBuffer8** indexBuffer, UINT* baseVertexIndex) {
    if (!indexBuffer || !baseVertexIndex) return D3DERR_INVALIDCALL;
    *indexBuffer = indices_;
    if (indices_) indices_->AddRef();
    *baseVertexIndex = baseVertex_;
    return D3D_OK;
}

}  // namespace quorvel::gl
