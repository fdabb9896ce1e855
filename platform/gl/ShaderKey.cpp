#include "platform/gl/ShaderKey.h"

namespace quorvel::gl {

namespace {

std::uint8_t u8(DWORD v) { return static_cast<std::uint8_t>(v); }

bool usesArg1(DWORD op) { return op != D3DTOP_SELECTARG2; }
bool usesArg2(DWORD op) { return op != D3DTOP_SELECTARG1; }

bool readsTexture(DWORD arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; }

// Material colour sources take the vertex colours only when the vertex has them.
std::uint8_t colourSource(DWORD source, bool hasDiffuse, bool hasSpecular) {
    if (source == D3DMCS_COLOR1 && hasDiffuse) return D3DMCS_COLOR1;
    if (source == D3DMCS_COLOR2 && hasSpecular) return D3DMCS_COLOR2;
    return D3DMCS_MATERIAL;
}

}  // namespace

ShaderKey makeShaderKey(const DeviceState& state, DWORD fvf, const bool* textureBound) {
    const auto& rs = state.renderStates;
    ShaderKey k;
    k.pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    k.hasNormal = (fvf & D3DFVF_NORMAL) != 0;
    k.hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
    k.hasSpecular = (fvf & D3DFVF_SPECULAR) != 0;
    const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    k.texCount = u8(texCount > 2 ? 2 : texCount);
    k.lighting = !k.pretransformed && rs[D3DRS_LIGHTING] != FALSE;
    k.specularEnable = rs[D3DRS_SPECULARENABLE] != FALSE;
    if (k.lighting) {
        k.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != FALSE;
        k.localViewer = rs[D3DRS_LOCALVIEWER] != FALSE;
        for (DWORD i = 0; i < kMaxLights; ++i)
            if (state.lightEnabled[i]) k.lightTypes[k.lightCount++] = u8(state.lights[i].Type);
        if (rs[D3DRS_COLORVERTEX]) {
            k.diffuseSource = colourSource(rs[D3DRS_DIFFUSEMATERIALSOURCE], k.hasDiffuse, k.hasSpecular);
            k.ambientSource = colourSource(rs[D3DRS_AMBIENTMATERIALSOURCE], k.hasDiffuse, k.hasSpecular);
            k.specularSource = colourSource(rs[D3DRS_SPECULARMATERIALSOURCE], k.hasDiffuse, k.hasSpecular);
            k.emissiveSource = colourSource(rs[D3DRS_EMISSIVEMATERIALSOURCE], k.hasDiffuse, k.hasSpecular);
        }
    }
    k.flatShade = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    k.alphaFunc = u8(rs[D3DRS_ALPHATESTENABLE] ? rs[D3DRS_ALPHAFUNC] : D3DCMP_ALWAYS);

    // A stage runs when its colour operation is on and every texture its colour operation
    // reads is set; the first stage that does not run switches off all later ones.
    k.activeStages = 0;
    for (int s = 0; s < kShaderStages; ++s) {
        const auto& ts = state.stageStates[s];
        const DWORD op = ts[D3DTSS_COLOROP];
        if (op == D3DTOP_DISABLE || op == 0 || op > D3DTOP_BLENDCURRENTALPHA) break;
        const bool needsTexture = (usesArg1(op) && readsTexture(ts[D3DTSS_COLORARG1])) ||
                                  (usesArg2(op) && readsTexture(ts[D3DTSS_COLORARG2]));
        if (needsTexture && !textureBound[s]) break;
        StageKey& sk = k.stages[s];
        sk.colorOp = u8(op);
        sk.colorArg1 = u8(ts[D3DTSS_COLORARG1]);
        sk.colorArg2 = u8(ts[D3DTSS_COLORARG2]);
        const DWORD aop = ts[D3DTSS_ALPHAOP];
        sk.alphaOp = u8(aop > D3DTOP_BLENDCURRENTALPHA ? D3DTOP_DISABLE : aop);
        sk.alphaArg1 = u8(ts[D3DTSS_ALPHAARG1]);
        sk.alphaArg2 = u8(ts[D3DTSS_ALPHAARG2]);
        sk.texCoordIndex = u8(ts[D3DTSS_TEXCOORDINDEX] & 0xFFFF);
        sk.textureBound = textureBound[s] ? 1 : 0;
        k.activeStages = u8(s + 1);
    }
    return k;
}

}  // namespace quorvel::gl
