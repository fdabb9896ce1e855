// Start and Stop: the vertex and index buffers holding every mesh of the scene for one live
// interval. Vertices are copied verbatim mesh by mesh; faces group by group, each index relative
// to its mesh's first vertex.
#include <cstring>
#include <limits>

#include "meshdrome/MeshLimits.h"
#include "meshdrome/SceneEffect.h"
#include "scene/Scene.h"

namespace {

constexpr DWORD SceneVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct BufferSizes {
    std::size_t vertexBytes = 0;
    std::size_t indexBytes = 0;
};

BufferSizes measure(const Scene& scene) {
    BufferSizes sizes;
    for (const Mesh* mesh : scene.meshes) {
        sizes.vertexBytes += mesh->vertices.size() * sizeof(Vertex);
        for (const FaceGroup* group : mesh->faceGroups)
            sizes.indexBytes += meshdrome::drawableFaceCount(*group, mesh->vertices.size()) * sizeof(Face);
    }
    return sizes;
}

void fillVertices(const Scene& scene, BYTE* out) {
    for (const Mesh* mesh : scene.meshes) {
        const std::size_t bytes = mesh->vertices.size() * sizeof(Vertex);
        if (bytes) std::memcpy(out, mesh->vertices.data(), bytes);
        out += bytes;
    }
}

void fillFaces(const Scene& scene, BYTE* out) {
    for (const Mesh* mesh : scene.meshes) {
        for (const FaceGroup* group : mesh->faceGroups) {
            for (const Face& face : group->faces) {
                if (!faceInRange(face, mesh->vertices.size())) continue;
                std::memcpy(out, &face, sizeof(Face));
                out += sizeof(Face);
            }
        }
    }
}

}  // namespace

HRESULT SceneEffect::Start(EngineServices* services) {
    releaseBuffers();
    if (!services || !services->device || !scene) return 0;
    IDirect3DDevice8& device = *services->device;

    // A scene with nothing to draw needs no buffers (a zero-length buffer cannot be created).
    const BufferSizes sizes = measure(*scene);
    constexpr std::size_t largest = std::numeric_limits<UINT>::max();
    if (sizes.vertexBytes == 0 || sizes.indexBytes == 0 || sizes.vertexBytes > largest ||
        sizes.indexBytes > largest)
        return 0;

    if (FAILED(device.CreateVertexBuffer(static_cast<UINT>(sizes.vertexBytes), D3DUSAGE_WRITEONLY,
                                         SceneVertexFormat, D3DPOOL_DEFAULT, &vertexBuffer)))
        vertexBuffer = nullptr;
    if (vertexBuffer &&
        FAILED(device.CreateIndexBuffer(static_cast<UINT>(sizes.indexBytes), D3DUSAGE_WRITEONLY,
                                        D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indexBuffer)))
        indexBuffer = nullptr;
    if (!vertexBuffer || !indexBuffer) {
        // Nothing is written and nothing will be drawn in this interval.
        releaseBuffers();
        return 0;
    }

    BYTE* vertexData = nullptr;
    BYTE* indexData = nullptr;
    const bool vertexLocked =
        SUCCEEDED(vertexBuffer->Lock(0, static_cast<UINT>(sizes.vertexBytes), &vertexData, 0)) && vertexData;
    const bool indexLocked =
        SUCCEEDED(indexBuffer->Lock(0, static_cast<UINT>(sizes.indexBytes), &indexData, 0)) && indexData;
    if (vertexLocked && indexLocked) {
        fillVertices(*scene, vertexData);
        fillFaces(*scene, indexData);
    }
    if (indexLocked) indexBuffer->Unlock();
    if (vertexLocked) vertexBuffer->Unlock();
    // Buffers that could not be filled hold no usable geometry: drop them so nothing is drawn.
    if (!vertexLocked || !indexLocked) releaseBuffers();
    return 0;
}

HRESULT SceneEffect::Stop() {
    releaseBuffers();
    return 0;
}
