// GlDevice: drawing. Before a draw, whatever changed since the last one is sent to GL: fixed
// pipeline state (GlDevicePipeline.cpp), samplers, texture bindings, the shader for the current
// state and the uniform groups that program has not seen yet.
#include <cmath>
#include <cstring>

#include "platform/gl/GlDevice.h"
#include "platform/gl/GlResources.h"

namespace quorvel::gl {

namespace {

GLint wrapMode(DWORD address) {
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

GLint minificationFilter(DWORD min, DWORD mip) {
    const bool linear = min >= D3DTEXF_LINEAR;
    if (mip == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
    if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

// Row-vector product a x b of Direct3D matrices.
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

void colourToFloats(D3DCOLOR c, float* out) {
    out[0] = ((c >> 16) & 0xFF) / 255.0f;
    out[1] = ((c >> 8) & 0xFF) / 255.0f;
    out[2] = (c & 0xFF) / 255.0f;
    out[3] = ((c >> 24) & 0xFF) / 255.0f;
}

GLenum primitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_NONE;
    }
}

// Vertices needed for primitiveCount primitives, or 0 for an unknown type.
UINT vertexCountOf(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
    }
}

// Size in bytes of one vertex of format fvf.
UINT vertexSize(DWORD fvf) {
    UINT size = 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZ) size += 12;
    else if (position == D3DFVF_XYZRHW) size += 16;
    else if (position > D3DFVF_XYZRHW) size += 12 + 4 * ((position - D3DFVF_XYZRHW) / 2);  // blend weights
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_PSIZE) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (DWORD i = 0; i < texCount; ++i) {
        static constexpr UINT kFloats[4] = {2, 3, 4, 1};
        size += 4 * kFloats[(fvf >> (16 + 2 * i)) & 3];
    }
    return size;
}

}  // namespace

void GlDevice::flushSamplers() {
    for (int s = 0; s < kShaderStages; ++s) {
        if (!samplerDirty_[s]) continue;
        const auto& ts = state_.stageStates[s];
        const GLuint sampler = samplers_[s];
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minificationFilter(ts[D3DTSS_MINFILTER], ts[D3DTSS_MIPFILTER]));
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, ts[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrapMode(ts[D3DTSS_ADDRESSU]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrapMode(ts[D3DTSS_ADDRESSV]));
        float border[4];
        colourToFloats(ts[D3DTSS_BORDERCOLOR], border);
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
        glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(ts[D3DTSS_MAXMIPLEVEL]));
        samplerDirty_[s] = false;
    }
    for (int s = 0; s < kShaderStages; ++s) {
        if (!textureBindingDirty_[s]) continue;
        glActiveTexture(GL_TEXTURE0 + s);
        glBindTexture(GL_TEXTURE_2D, textures_[s] ? textures_[s]->name() : 0);
        textureBindingDirty_[s] = false;
    }
}

void GlDevice::updateDerivedTransforms() {
    worldView_ = multiply(state_.transforms[kWorld], state_.transforms[kView]);
    // Normals go through the inverse transpose of the world-view matrix's 3x3 part.
    const auto& m = worldView_.m;
    const float c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const float c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const float c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const float c10 = m[0][2] * m[2][1] - m[0][1] * m[2][2];
    const float c11 = m[0][0] * m[2][2] - m[0][2] * m[2][0];
    const float c12 = m[0][1] * m[2][0] - m[0][0] * m[2][1];
    const float c20 = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    const float c21 = m[0][2] * m[1][0] - m[0][0] * m[1][2];
    const float c22 = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    const float det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    const float inv = std::fabs(det) > 1e-30f ? 1.0f / det : 0.0f;
    // The cofactor matrix divided by the determinant is the inverse transpose; stored by rows
    // so that the shader's column-major reading gives n * (M^-1)^T.
    normalMatrix_ = {c00 * inv, c01 * inv, c02 * inv, c10 * inv, c11 * inv, c12 * inv, c20 * inv, c21 * inv, c22 * inv};
    derivedTransformsDirty_ = false;
}

void GlDevice::packLights() {
    packedLights_.assign(static_cast<size_t>(kLightVec4s) * 4 * kMaxLights, 0.0f);
    packedLightCount_ = 0;
    const auto& view = state_.transforms[kView].m;
    for (DWORD i = 0; i < kMaxLights; ++i) {
        if (!state_.lightEnabled[i]) continue;
        const D3DLIGHT8& l = state_.lights[i];
        float* p = packedLights_.data() + static_cast<size_t>(packedLightCount_) * kLightVec4s * 4;
        auto put = [&](int slot, float a, float b, float c, float d) {
            p[slot * 4 + 0] = a;
            p[slot * 4 + 1] = b;
            p[slot * 4 + 2] = c;
            p[slot * 4 + 3] = d;
        };
        put(0, l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, l.Diffuse.a);
        put(1, l.Specular.r, l.Specular.g, l.Specular.b, l.Specular.a);
        put(2, l.Ambient.r, l.Ambient.g, l.Ambient.b, l.Ambient.a);
        const D3DVECTOR& pos = l.Position;
        const float px = pos.x * view[0][0] + pos.y * view[1][0] + pos.z * view[2][0] + view[3][0];
        const float py = pos.x * view[0][1] + pos.y * view[1][1] + pos.z * view[2][1] + view[3][1];
        const float pz = pos.x * view[0][2] + pos.y * view[1][2] + pos.z * view[2][2] + view[3][2];
        put(3, px, py, pz, static_cast<float>(l.Type));
        const D3DVECTOR& dir = l.Direction;
        float dx = dir.x * view[0][0] + dir.y * view[1][0] + dir.z * view[2][0];
        float dy = dir.x * view[0][1] + dir.y * view[1][1] + dir.z * view[2][1];
        float dz = dir.x * view[0][2] + dir.y * view[1][2] + dir.z * view[2][2];
        const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (length > 0.0f) {
            dx /= length;
            dy /= length;
            dz /= length;
        } else {
            dx = dy = 0.0f;
            dz = 1.0f;
        }
        put(4, dx, dy, dz, l.Range);
        put(5, l.Attenuation0, l.Attenuation1, l.Attenuation2, l.Falloff);
        put(6, std::cos(l.Theta * 0.5f), std::cos(l.Phi * 0.5f), 0.0f, 0.0f);
        ++packedLightCount_;
    }
    lightsDirty_ = false;
    ++lightVersion_;
}

void GlDevice::uploadUniforms(FixedFunctionProgram& p) {
    if (p.transformVersion != transformVersion_) {
        glUniformMatrix4fv(p.worldView, 1, GL_FALSE, &worldView_._11);
        glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, normalMatrix_.data());
        p.transformVersion = transformVersion_;
    }
    if (p.projectionVersion != projectionVersion_) {
        glUniformMatrix4fv(p.projection, 1, GL_FALSE, &state_.transforms[kProjection]._11);
        const D3DVIEWPORT8& vp = state_.viewport;
        glUniform4f(p.viewport, static_cast<float>(vp.X), static_cast<float>(vp.Y), static_cast<float>(vp.Width),
                    static_cast<float>(vp.Height));
        p.projectionVersion = projectionVersion_;
    }
    if (p.materialVersion != materialVersion_) {
        const D3DMATERIAL8& m = state_.material;
        const float values[20] = {m.Diffuse.r,  m.Diffuse.g,  m.Diffuse.b,  m.Diffuse.a,  m.Ambient.r,
                                  m.Ambient.g,  m.Ambient.b,  m.Ambient.a,  m.Specular.r, m.Specular.g,
                                  m.Specular.b, m.Specular.a, m.Emissive.r, m.Emissive.g, m.Emissive.b,
                                  m.Emissive.a, m.Power,      0.0f,         0.0f,         0.0f};
        glUniform4fv(p.material, 5, values);
        p.materialVersion = materialVersion_;
    }
    if (p.lightVersion != lightVersion_) {
        if (packedLightCount_ > 0) glUniform4fv(p.lights, packedLightCount_ * kLightVec4s, packedLights_.data());
        p.lightVersion = lightVersion_;
    }
    if (p.miscVersion != miscVersion_) {
        float v[4];
        colourToFloats(state_.renderStates[D3DRS_AMBIENT], v);
        glUniform4fv(p.ambient, 1, v);
        colourToFloats(state_.renderStates[D3DRS_TEXTUREFACTOR], v);
        glUniform4fv(p.textureFactor, 1, v);
        glUniform1f(p.alphaRef, static_cast<float>(state_.renderStates[D3DRS_ALPHAREF] & 0xFF));
        p.miscVersion = miscVersion_;
    }
}

void GlDevice::setVertexLayout(GLuint vertexBuffer, DWORD fvf, UINT stride, GLintptr offset) {
    if (vertexBuffer == layoutBuffer_ && fvf == layoutFvf_ && stride == layoutStride_ && offset == layoutOffset_)
        return;
    layoutBuffer_ = vertexBuffer;
    layoutFvf_ = fvf;
    layoutStride_ = stride;
    layoutOffset_ = offset;
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    const auto s = static_cast<GLsizei>(stride);
    auto at = [&](GLintptr byte) { return reinterpret_cast<const void*>(offset + byte); };
    GLintptr o = 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    glEnableVertexAttribArray(kAttrPosition);
    if (position == D3DFVF_XYZRHW) {
        glVertexAttribPointer(kAttrPosition, 4, GL_FLOAT, GL_FALSE, s, at(o));
        o += 16;
    } else {
        glVertexAttribPointer(kAttrPosition, 3, GL_FLOAT, GL_FALSE, s, at(o));
        o += 12;
        if (position > D3DFVF_XYZRHW) o += 4 * ((position - D3DFVF_XYZRHW) / 2);
    }
    auto attribute = [&](GLuint location, bool present, GLint size, GLenum type, GLboolean normalised, GLintptr bytes) {
        if (!present) {
            glDisableVertexAttribArray(location);
            return;
        }
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, type, normalised, s, at(o));
        o += bytes;
    };
    attribute(kAttrNormal, fvf & D3DFVF_NORMAL, 3, GL_FLOAT, GL_FALSE, 12);
    if (fvf & D3DFVF_PSIZE) o += 4;
    // Direct3D colours are B, G, R, A bytes; GL_BGRA as the size reads them in that order.
    attribute(kAttrDiffuse, fvf & D3DFVF_DIFFUSE, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    attribute(kAttrSpecular, fvf & D3DFVF_SPECULAR, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (DWORD i = 0; i < 2; ++i) {
        static constexpr GLint kFloats[4] = {2, 3, 4, 1};
        const GLint floats = kFloats[(fvf >> (16 + 2 * i)) & 3];
        // Only the first two components of a set are used (2D textures).
        attribute(kAttrTex0 + i, i < texCount, floats < 2 ? floats : 2, GL_FLOAT, GL_FALSE, 4 * floats);
    }
}

bool GlDevice::prepareDraw(GLuint vertexBuffer, UINT stride, GLintptr offset) {
    if (lost()) return false;  // drawing on a lost device does nothing, successfully
    if (pipelineDirty_) flushPipelineState();
    flushSamplers();
    if (derivedTransformsDirty_) updateDerivedTransforms();
    if (lightsDirty_) packLights();
    if (keyDirty_) {
        const bool bound[kShaderStages] = {textures_[0] != nullptr, textures_[1] != nullptr};
        const ShaderKey key = makeShaderKey(state_, state_.fvf, bound);
        program_ = &programFor(key);
        if (program_->program) glUseProgram(program_->program);
        keyDirty_ = false;
    }
    if (!program_ || !program_->program) return false;
    uploadUniforms(*program_);
    setVertexLayout(vertexBuffer, state_.fvf, stride, offset);
    return true;
}

void GlDevice::forgetVertexBuffer(GLuint name) {
    // A deleted buffer's name may come back for a new buffer; the layout must be set again.
    if (layoutBuffer_ == name) layoutBuffer_ = 0;
}

HRESULT GlDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    const GLenum mode = primitiveMode(type);
    if (mode == GL_NONE || !stream_ || streamStride_ == 0 || state_.fvf == 0) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return D3D_OK;
    const UINT count = vertexCountOf(type, primitiveCount);
    // Reading past the end of the vertex buffer is refused rather than left to the driver.
    if ((static_cast<uint64_t>(startVertex) + count - 1) * streamStride_ + vertexSize(state_.fvf) > stream_->length())
        return D3DERR_INVALIDCALL;
    if (!prepareDraw(stream_->name(), streamStride_, 0)) return lost() ? D3D_OK : D3DERR_INVALIDCALL;
    glDrawArrays(mode, static_cast<GLint>(startVertex), static_cast<GLsizei>(count));
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                       UINT primitiveCount) {
    (void)minIndex;
    (void)vertexCount;
    const GLenum mode = primitiveMode(type);
    if (mode == GL_NONE || !stream_ || !indices_ || streamStride_ == 0 || state_.fvf == 0) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return D3D_OK;
    const UINT count = vertexCountOf(type, primitiveCount);
    // Indices past the end of the index buffer are refused rather than left to the driver.
    if ((static_cast<uint64_t>(startIndex) + count) * 2 > indices_->length()) return D3DERR_INVALIDCALL;
    // So are indices that reach past the vertex buffer: GL would read outside the buffer.
    const uint64_t lastVertex = static_cast<uint64_t>(baseVertex_) + indices_->maxIndex(startIndex, count);
    if (lastVertex * streamStride_ + vertexSize(state_.fvf) > stream_->length()) return D3DERR_INVALIDCALL;
    if (!prepareDraw(stream_->name(), streamStride_, 0)) return lost() ? D3D_OK : D3DERR_INVALIDCALL;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_->name());
    glDrawElementsBaseVertex(mode, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(static_cast<uintptr_t>(startIndex) * 2),
                             static_cast<GLint>(baseVertex_));
    return D3D_OK;
}

HRESULT GlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData, UINT stride) {
    const GLenum mode = primitiveMode(type);
    if (mode == GL_NONE || !vertexData || stride == 0 || state_.fvf == 0) return D3DERR_INVALIDCALL;
    // Drawing from user memory leaves no stream source set, as in Direct3D.
    setStreamBinding(nullptr, 0);
    if (primitiveCount == 0) return D3D_OK;
    const UINT count = vertexCountOf(type, primitiveCount);
    glBindBuffer(GL_ARRAY_BUFFER, userVertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * stride, vertexData, GL_STREAM_DRAW);
    layoutBuffer_ = 0;  // the buffer's storage changed: attribute pointers must be set again
    if (!prepareDraw(userVertexBuffer_, stride, 0)) return lost() ? D3D_OK : D3DERR_INVALIDCALL;
    glDrawArrays(mode, 0, static_cast<GLsizei>(count));
    return D3D_OK;
}

}  // namespace quorvel::gl
