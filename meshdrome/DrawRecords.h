// The draw list of a scene effect: one DrawMaterial per material state group, each holding the
// face groups (DrawParts) drawn with it. Built once per Init, walked every Render.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"

struct Mesh;
class ImageEntry;

// One face group of one mesh, as a range of the effect's index buffer.
struct DrawPart {
    Mesh* mesh = nullptr;          // its world matrix places the faces
    UINT baseVertex = 0;           // the mesh's first vertex in the vertex buffer
    UINT firstFace = 0;            // the group's first face in the index buffer, counted in faces
    UINT faceCount = 0;            // faces of the group that are drawn
    UINT vertexCount = 0;          // vertices of the mesh reachable by its 16-bit indices
};

struct DrawMaterial {
    DWORD srcBlend = D3DBLEND_SRCALPHA;
    DWORD destBlend = D3DBLEND_INVSRCALPHA;  // D3DBLEND_ONE for additive materials
    BOOL alphaBlend = FALSE;
    DWORD colorOp = D3DTOP_MODULATE;         // D3DTOP_SELECTARG2 for an opacity map alone
    ImageEntry* image = nullptr;             // the engine's texture for the material, or none
    D3DMATERIAL8 material{};
    std::vector<std::unique_ptr<DrawPart>> parts;  // owned
};
