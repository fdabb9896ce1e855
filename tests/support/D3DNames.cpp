#include "support/D3DNames.h"

#include <cstdio>
#include <span>
#include <sstream>

namespace quorvel::testing {

namespace {

struct Name {
    DWORD value;
    const char* text;
};
// Spells each constant once: its value and its name come from the same token.
#define N(constant) Name { static_cast<DWORD>(constant), #constant }

constexpr Name kRenderStates[] = {
    N(D3DRS_ZENABLE), N(D3DRS_FILLMODE), N(D3DRS_SHADEMODE), N(D3DRS_LINEPATTERN), N(D3DRS_ZWRITEENABLE),
    N(D3DRS_ALPHATESTENABLE), N(D3DRS_LASTPIXEL), N(D3DRS_SRCBLEND), N(D3DRS_DESTBLEND), N(D3DRS_CULLMODE),
    N(D3DRS_ZFUNC), N(D3DRS_ALPHAREF), N(D3DRS_ALPHAFUNC), N(D3DRS_DITHERENABLE), N(D3DRS_ALPHABLENDENABLE),
    N(D3DRS_FOGENABLE), N(D3DRS_SPECULARENABLE), N(D3DRS_ZVISIBLE), N(D3DRS_FOGCOLOR), N(D3DRS_FOGTABLEMODE),
    N(D3DRS_FOGSTART), N(D3DRS_FOGEND), N(D3DRS_FOGDENSITY), N(D3DRS_EDGEANTIALIAS), N(D3DRS_ZBIAS),
    N(D3DRS_RANGEFOGENABLE), N(D3DRS_STENCILENABLE), N(D3DRS_STENCILFAIL), N(D3DRS_STENCILZFAIL),
    N(D3DRS_STENCILPASS), N(D3DRS_STENCILFUNC), N(D3DRS_STENCILREF), N(D3DRS_STENCILMASK),
    N(D3DRS_STENCILWRITEMASK), N(D3DRS_TEXTUREFACTOR), N(D3DRS_WRAP0), N(D3DRS_WRAP1), N(D3DRS_CLIPPING),
    N(D3DRS_LIGHTING), N(D3DRS_AMBIENT), N(D3DRS_FOGVERTEXMODE), N(D3DRS_COLORVERTEX), N(D3DRS_LOCALVIEWER),
    N(D3DRS_NORMALIZENORMALS), N(D3DRS_DIFFUSEMATERIALSOURCE), N(D3DRS_SPECULARMATERIALSOURCE),
    N(D3DRS_AMBIENTMATERIALSOURCE), N(D3DRS_EMISSIVEMATERIALSOURCE), N(D3DRS_VERTEXBLEND),
    N(D3DRS_CLIPPLANEENABLE), N(D3DRS_SOFTWAREVERTEXPROCESSING), N(D3DRS_POINTSIZE),
    N(D3DRS_MULTISAMPLEANTIALIAS), N(D3DRS_MULTISAMPLEMASK), N(D3DRS_INDEXEDVERTEXBLENDENABLE),
    N(D3DRS_COLORWRITEENABLE), N(D3DRS_TWEENFACTOR), N(D3DRS_BLENDOP),
};

constexpr Name kStageStates[] = {
    N(D3DTSS_COLOROP), N(D3DTSS_COLORARG1), N(D3DTSS_COLORARG2), N(D3DTSS_ALPHAOP), N(D3DTSS_ALPHAARG1),
    N(D3DTSS_ALPHAARG2), N(D3DTSS_BUMPENVMAT00), N(D3DTSS_BUMPENVMAT01), N(D3DTSS_BUMPENVMAT10),
    N(D3DTSS_BUMPENVMAT11), N(D3DTSS_TEXCOORDINDEX), N(D3DTSS_ADDRESSU), N(D3DTSS_ADDRESSV),
    N(D3DTSS_BORDERCOLOR), N(D3DTSS_MAGFILTER), N(D3DTSS_MINFILTER), N(D3DTSS_MIPFILTER),
    N(D3DTSS_MIPMAPLODBIAS), N(D3DTSS_MAXMIPLEVEL), N(D3DTSS_MAXANISOTROPY), N(D3DTSS_BUMPENVLSCALE),
    N(D3DTSS_BUMPENVLOFFSET), N(D3DTSS_TEXTURETRANSFORMFLAGS), N(D3DTSS_ADDRESSW), N(D3DTSS_COLORARG0),
    N(D3DTSS_ALPHAARG0), N(D3DTSS_RESULTARG),
};

constexpr Name kTextureOps[] = {
    N(D3DTOP_DISABLE), N(D3DTOP_SELECTARG1), N(D3DTOP_SELECTARG2), N(D3DTOP_MODULATE), N(D3DTOP_MODULATE2X),
    N(D3DTOP_MODULATE4X), N(D3DTOP_ADD), N(D3DTOP_ADDSIGNED), N(D3DTOP_ADDSIGNED2X), N(D3DTOP_SUBTRACT),
    N(D3DTOP_ADDSMOOTH), N(D3DTOP_BLENDDIFFUSEALPHA), N(D3DTOP_BLENDTEXTUREALPHA), N(D3DTOP_BLENDFACTORALPHA),
    N(D3DTOP_BLENDTEXTUREALPHAPM), N(D3DTOP_BLENDCURRENTALPHA),
};
constexpr Name kArguments[] = {N(D3DTA_DIFFUSE), N(D3DTA_CURRENT), N(D3DTA_TEXTURE),
                               N(D3DTA_TFACTOR), N(D3DTA_SPECULAR), N(D3DTA_TEMP)};
constexpr Name kArgumentModifiers[] = {N(D3DTA_COMPLEMENT), N(D3DTA_ALPHAREPLICATE)};
constexpr Name kFilters[] = {N(D3DTEXF_NONE),   N(D3DTEXF_POINT),     N(D3DTEXF_LINEAR),
                             N(D3DTEXF_ANISOTROPIC), N(D3DTEXF_FLATCUBIC), N(D3DTEXF_GAUSSIANCUBIC)};
constexpr Name kAddresses[] = {N(D3DTADDRESS_WRAP), N(D3DTADDRESS_MIRROR), N(D3DTADDRESS_CLAMP),
                               N(D3DTADDRESS_BORDER), N(D3DTADDRESS_MIRRORONCE)};
constexpr Name kTransformFlags[] = {N(D3DTTFF_DISABLE)};

constexpr Name kBlends[] = {
    N(D3DBLEND_ZERO),         N(D3DBLEND_ONE),          N(D3DBLEND_SRCCOLOR),     N(D3DBLEND_INVSRCCOLOR),
    N(D3DBLEND_SRCALPHA),     N(D3DBLEND_INVSRCALPHA),  N(D3DBLEND_DESTALPHA),    N(D3DBLEND_INVDESTALPHA),
    N(D3DBLEND_DESTCOLOR),    N(D3DBLEND_INVDESTCOLOR), N(D3DBLEND_SRCALPHASAT),  N(D3DBLEND_BOTHSRCALPHA),
    N(D3DBLEND_BOTHINVSRCALPHA),
};
constexpr Name kBlendOps[] = {N(D3DBLENDOP_ADD), N(D3DBLENDOP_SUBTRACT), N(D3DBLENDOP_REVSUBTRACT),
                              N(D3DBLENDOP_MIN), N(D3DBLENDOP_MAX)};
constexpr Name kCulls[] = {N(D3DCULL_NONE), N(D3DCULL_CW), N(D3DCULL_CCW)};
constexpr Name kCompares[] = {N(D3DCMP_NEVER),   N(D3DCMP_LESS),     N(D3DCMP_EQUAL),        N(D3DCMP_LESSEQUAL),
                              N(D3DCMP_GREATER), N(D3DCMP_NOTEQUAL), N(D3DCMP_GREATEREQUAL), N(D3DCMP_ALWAYS)};
constexpr Name kZBuffers[] = {N(D3DZB_FALSE), N(D3DZB_TRUE), N(D3DZB_USEW)};
constexpr Name kFillModes[] = {N(D3DFILL_POINT), N(D3DFILL_WIREFRAME), N(D3DFILL_SOLID)};
constexpr Name kShadeModes[] = {N(D3DSHADE_FLAT), N(D3DSHADE_GOURAUD), N(D3DSHADE_PHONG)};
constexpr Name kFogModes[] = {N(D3DFOG_NONE), N(D3DFOG_EXP), N(D3DFOG_EXP2), N(D3DFOG_LINEAR)};
constexpr Name kVertexBlends[] = {N(D3DVBF_DISABLE)};
constexpr Name kColourSources[] = {N(D3DMCS_MATERIAL), N(D3DMCS_COLOR1), N(D3DMCS_COLOR2)};
constexpr Name kStencilOps[] = {N(D3DSTENCILOP_KEEP),    N(D3DSTENCILOP_ZERO),    N(D3DSTENCILOP_REPLACE),
                                N(D3DSTENCILOP_INCRSAT), N(D3DSTENCILOP_DECRSAT), N(D3DSTENCILOP_INVERT),
                                N(D3DSTENCILOP_INCR),    N(D3DSTENCILOP_DECR)};

constexpr Name kFormats[] = {
    N(D3DFMT_UNKNOWN),  N(D3DFMT_R8G8B8),   N(D3DFMT_A8R8G8B8),     N(D3DFMT_X8R8G8B8), N(D3DFMT_R5G6B5),
    N(D3DFMT_X1R5G5B5), N(D3DFMT_A1R5G5B5), N(D3DFMT_A4R4G4B4),     N(D3DFMT_R3G3B2),   N(D3DFMT_A8),
    N(D3DFMT_A8R3G3B2), N(D3DFMT_X4R4G4B4), N(D3DFMT_A8P8),         N(D3DFMT_P8),       N(D3DFMT_L8),
    N(D3DFMT_A8L8),     N(D3DFMT_A4L4),     N(D3DFMT_D16_LOCKABLE), N(D3DFMT_D32),      N(D3DFMT_D15S1),
    N(D3DFMT_D24S8),    N(D3DFMT_D24X8),    N(D3DFMT_D24X4S4),      N(D3DFMT_D16),      N(D3DFMT_VERTEXDATA),
    N(D3DFMT_INDEX16),  N(D3DFMT_INDEX32),
};
constexpr Name kPools[] = {N(D3DPOOL_DEFAULT), N(D3DPOOL_MANAGED), N(D3DPOOL_SYSTEMMEM), N(D3DPOOL_SCRATCH)};
constexpr Name kPrimitives[] = {N(D3DPT_POINTLIST),    N(D3DPT_LINELIST),      N(D3DPT_LINESTRIP),
                                N(D3DPT_TRIANGLELIST), N(D3DPT_TRIANGLESTRIP), N(D3DPT_TRIANGLEFAN)};
constexpr Name kTransforms[] = {N(D3DTS_VIEW),     N(D3DTS_PROJECTION), N(D3DTS_TEXTURE0), N(D3DTS_TEXTURE1),
                                N(D3DTS_TEXTURE2), N(D3DTS_TEXTURE3),   N(D3DTS_TEXTURE4), N(D3DTS_TEXTURE5),
                                N(D3DTS_TEXTURE6), N(D3DTS_TEXTURE7),   N(D3DTS_WORLD)};
constexpr Name kLightTypes[] = {N(D3DLIGHT_POINT), N(D3DLIGHT_SPOT), N(D3DLIGHT_DIRECTIONAL)};
constexpr Name kDeviceTypes[] = {N(D3DDEVTYPE_HAL), N(D3DDEVTYPE_REF), N(D3DDEVTYPE_SW)};
constexpr Name kResourceTypes[] = {N(D3DRTYPE_SURFACE),       N(D3DRTYPE_VOLUME),       N(D3DRTYPE_TEXTURE),
                                   N(D3DRTYPE_VOLUMETEXTURE), N(D3DRTYPE_CUBETEXTURE), N(D3DRTYPE_VERTEXBUFFER),
                                   N(D3DRTYPE_INDEXBUFFER)};

constexpr Name kUsages[] = {N(D3DUSAGE_RENDERTARGET), N(D3DUSAGE_DEPTHSTENCIL), N(D3DUSAGE_WRITEONLY),
                            N(D3DUSAGE_SOFTWAREPROCESSING), N(D3DUSAGE_DONOTCLIP), N(D3DUSAGE_POINTS),
                            N(D3DUSAGE_DYNAMIC)};
constexpr Name kVertexFormatBits[] = {N(D3DFVF_XYZ),     N(D3DFVF_XYZRHW),   N(D3DFVF_NORMAL),
                                      N(D3DFVF_PSIZE),   N(D3DFVF_DIFFUSE),  N(D3DFVF_SPECULAR),
                                      N(D3DFVF_TEX1),    N(D3DFVF_TEX2),     N(D3DFVF_TEX3)};
constexpr Name kLocks[] = {N(D3DLOCK_READONLY), N(D3DLOCK_NOSYSLOCK), N(D3DLOCK_NOOVERWRITE),
                           N(D3DLOCK_DISCARD), N(D3DLOCK_NO_DIRTY_UPDATE)};
constexpr Name kClears[] = {N(D3DCLEAR_TARGET), N(D3DCLEAR_ZBUFFER), N(D3DCLEAR_STENCIL)};
constexpr Name kBehaviours[] = {N(D3DCREATE_FPU_PRESERVE), N(D3DCREATE_MULTITHREADED), N(D3DCREATE_PUREDEVICE),
                                N(D3DCREATE_SOFTWARE_VERTEXPROCESSING), N(D3DCREATE_HARDWARE_VERTEXPROCESSING),
                                N(D3DCREATE_MIXED_VERTEXPROCESSING)};
#undef N

// The name of value, or the value in decimal.
std::string nameOf(std::span<const Name> names, DWORD value) {
    for (const Name& n : names)
        if (n.value == value) return n.text;
    return std::to_string(value);
}

// The names of the bits set in flags joined by '|', unnamed bits in hex; "0" for none.
std::string flagNames(std::span<const Name> names, DWORD flags) {
    std::string text;
    auto add = [&](const std::string& part) { text += (text.empty() ? part : "|" + part); };
    for (const Name& n : names) {
        if ((flags & n.value) != n.value) continue;
        add(n.text);
        flags &= ~n.value;
    }
    if (flags != 0) add(hex(flags));
    return text.empty() ? "0" : text;
}

// A texture stage argument: the source and its modifiers, e.g. D3DTA_TEXTURE|D3DTA_COMPLEMENT.
std::string argumentName(DWORD value) {
    const std::string source = nameOf(kArguments, value & D3DTA_SELECTMASK);
    const DWORD modifiers = value & ~D3DTA_SELECTMASK;
    return modifiers == 0 ? source : source + "|" + flagNames(kArgumentModifiers, modifiers);
}

}  // namespace

std::string renderStateName(DWORD state) { return nameOf(kRenderStates, state); }

std::string renderStateValue(DWORD state, DWORD value) {
    switch (state) {
    case D3DRS_ZENABLE: return nameOf(kZBuffers, value);
    case D3DRS_FILLMODE: return nameOf(kFillModes, value);
    case D3DRS_SHADEMODE: return nameOf(kShadeModes, value);
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND: return nameOf(kBlends, value);
    case D3DRS_BLENDOP: return nameOf(kBlendOps, value);
    case D3DRS_CULLMODE: return nameOf(kCulls, value);
    case D3DRS_ZFUNC:
    case D3DRS_ALPHAFUNC:
    case D3DRS_STENCILFUNC: return nameOf(kCompares, value);
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE: return nameOf(kFogModes, value);
    case D3DRS_VERTEXBLEND: return nameOf(kVertexBlends, value);
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE: return nameOf(kColourSources, value);
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS: return nameOf(kStencilOps, value);
    case D3DRS_FOGCOLOR:
    case D3DRS_AMBIENT:
    case D3DRS_TEXTUREFACTOR: return hex(value);
    default: return std::to_string(value);
    }
}

std::string stageStateName(DWORD type) { return nameOf(kStageStates, type); }

std::string stageStateValue(DWORD type, DWORD value) {
    switch (type) {
    case D3DTSS_COLOROP:
    case D3DTSS_ALPHAOP: return nameOf(kTextureOps, value);
    case D3DTSS_COLORARG0:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_RESULTARG: return argumentName(value);
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW: return nameOf(kAddresses, value);
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER: return nameOf(kFilters, value);
    case D3DTSS_TEXTURETRANSFORMFLAGS: return nameOf(kTransformFlags, value);
    case D3DTSS_BORDERCOLOR: return hex(value);
    default: return std::to_string(value);
    }
}

std::string formatName(DWORD format) { return nameOf(kFormats, format); }
std::string poolName(DWORD pool) { return nameOf(kPools, pool); }
std::string primitiveName(DWORD type) { return nameOf(kPrimitives, type); }
std::string transformName(DWORD type) { return nameOf(kTransforms, type); }
std::string lightTypeName(DWORD type) { return nameOf(kLightTypes, type); }
std::string deviceTypeName(DWORD type) { return nameOf(kDeviceTypes, type); }
std::string resourceTypeName(DWORD type) { return nameOf(kResourceTypes, type); }
std::string usageFlags(DWORD usage) { return flagNames(kUsages, usage); }
std::string lockFlags(DWORD flags) { return flagNames(kLocks, flags); }
std::string clearFlags(DWORD flags) { return flagNames(kClears, flags); }
std::string behaviourFlags(DWORD flags) { return flagNames(kBehaviours, flags); }

std::string vertexFormatFlags(DWORD fvf) {
    // The texture count is a number in its own field, not a set of bits: name it apart.
    const DWORD textures = fvf & D3DFVF_TEXCOUNT_MASK;
    std::string text = flagNames(kVertexFormatBits, fvf & ~D3DFVF_TEXCOUNT_MASK);
    if (textures == 0) return text;
    const std::string count = nameOf(kVertexFormatBits, textures);
    return text == "0" ? count : text + "|" + count;
}

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string pointerText(const void* pointer) {
    return pointer ? hex(reinterpret_cast<std::uintptr_t>(pointer)) : "nullptr";
}

Arg::Arg(float v) {
    std::ostringstream shown;
    shown << v;
    text = shown.str();
}

std::string callText(const std::string& method, std::initializer_list<Arg> args) {
    std::string text = method + "(";
    for (const Arg& a : args) {
        if (&a != args.begin()) text += ", ";
        text += a.text;
    }
    return text + ")";
}

}  // namespace quorvel::testing
