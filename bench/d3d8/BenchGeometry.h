// What both sides of the layer benchmark draw: groups of lit, textured triangles on a bumpy grid,
// and the transforms that place them in a 640x480 view.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace quorvel {

constexpr int kWidth = 640, kHeight = 480;

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

struct Geometry {
    std::vector<Vertex> vertices;
    std::vector<std::uint16_t> indices;
    struct Group {
        UINT baseVertex, vertexCount, firstIndex, triangles;
        float offsetX, offsetY;
    };
    std::vector<Group> groups;
};

// groups patches of a bumpy grid, each with its own vertices (16-bit indices per group) and
// about triangles / groups triangles, spread over the view.
Geometry makeGeometry(int triangles, int groups);

D3DMATRIX identity();
D3DMATRIX projection();
D3DMATRIX translation(float x, float y, float z);

}  // namespace quorvel
