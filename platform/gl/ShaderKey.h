// The part of the device state that changes the generated fixed-function shader code.
// Everything else (matrices, material, lights, colours, alpha reference) is a uniform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <type_traits>

#include "platform/gl/DeviceState.h"

namespace quorvel::gl {

// Stages the shader can execute. The system uses stage 0 and stage 1.
constexpr int kShaderStages = 2;

struct StageKey {
    std::uint8_t colorOp, colorArg1, colorArg2;
    std::uint8_t alphaOp, alphaArg1, alphaArg2;
    std::uint8_t texCoordIndex;
    std::uint8_t textureBound;
};

struct ShaderKey {
    std::uint8_t pretransformed = 0;  // XYZRHW vertices: no transform, no lighting
    std::uint8_t hasNormal = 0, hasDiffuse = 0, hasSpecular = 0, texCount = 0;
    std::uint8_t lighting = 0, specularEnable = 0, normalizeNormals = 0, localViewer = 0;
    std::uint8_t diffuseSource = 0, ambientSource = 0, specularSource = 0, emissiveSource = 0;
    std::uint8_t flatShade = 0;
    std::uint8_t alphaFunc = D3DCMP_ALWAYS;  // ALWAYS when alpha testing is off
    std::uint8_t activeStages = 0;            // stages that run; later ones are off
    // Enabled lights in index order, by type: the lighting code is unrolled for them (the
    // software rasteriser pays dearly for per-vertex branches on uniforms).
    std::uint8_t lightCount = 0;
    std::array<std::uint8_t, 8> lightTypes{};
    std::array<StageKey, kShaderStages> stages{};

    bool operator==(const ShaderKey& o) const { return std::memcmp(this, &o, sizeof(ShaderKey)) == 0; }
};
static_assert(std::has_unique_object_representations_v<ShaderKey>);

// 64-bit FNV-1a of a run of bytes: the program cache's hash, and the program list's checksum.
inline std::uint64_t fnv1a(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

struct ShaderKeyHash {
    std::size_t operator()(const ShaderKey& k) const { return static_cast<std::size_t>(fnv1a(&k, sizeof k)); }
};

// Builds the key for drawing vertices of format fvf with the given state; textureBound[s]
// tells whether stage s has a texture set.
ShaderKey makeShaderKey(const DeviceState& state, DWORD fvf, const bool* textureBound);

}  // namespace quorvel::gl
