// What of a mesh can be drawn with 16-bit indices relative to the mesh's first vertex. Init
// (draw parts) and Start (buffer contents) must agree on it, so both use these helpers.
#pragma once

#include <algorithm>
#include <cstddef>

#include "scene/Scene.h"

namespace meshdrome {

// A 16-bit index reaches at most this many vertices past the mesh's first one.
constexpr std::size_t IndexableVertices = 65536;

// Faces whose indices reach past the mesh's vertices are left out of the buffers and the counts,
// so that no draw reads beyond the vertex buffer.
inline std::size_t drawableFaceCount(const FaceGroup& group, std::size_t vertexCount) {
    return static_cast<std::size_t>(std::count_if(group.faces.begin(), group.faces.end(),
        [vertexCount](const Face& face) { return faceInRange(face, vertexCount); }));
}

// The vertex range a draw of the mesh may touch. Vertices beyond the first 65,536 of a mesh are
// copied into the buffer (so later meshes keep their bases) but no index can reach them.
inline std::size_t drawableVertexCount(const Mesh& mesh) {
    return std::min(mesh.vertices.size(), IndexableVertices);
}

}  // namespace meshdrome
