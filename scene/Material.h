// Materials of a 3D Studio scene as the scene player reads them. Shared with plug-ins, so the
// field order and widths are fixed.
#pragma once

#include <cstdint>
#include <string>

// Same layout as D3DCOLORVALUE. Files supply r, g, b; a stays 0 in a loaded scene and consumers
// set their own alpha.
struct ColourValue {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

struct Material {
    std::string name;
    ColourValue ambient;
    ColourValue diffuse;
    ColourValue specular;
    float shininess = 0.0f;          // fraction 0..1
    float shininessStrength = 0.0f;  // fraction 0..1
    float transparency = 0.0f;       // fraction 0..1, 0 is opaque
    std::uint8_t flatShading = 0;
    std::uint8_t wire = 0;
    std::uint8_t twoSided = 0;
    std::uint8_t additive = 0;  // drawn with additive blending
    std::uint8_t faceMap = 0;
    std::string textureMap;  // file name, empty when none
    std::string opacityMap;  // file name, empty when none
};

static_assert(sizeof(ColourValue) == 16);
