// Triangle meshes of the editor section: vertices, faces, material groups, texture coordinates
// and the local matrix that takes the vertices into object space.
#include <algorithm>

#include "scene/SceneReader.h"

namespace {

constexpr std::uint64_t kVertexBytes = 12;
constexpr std::uint64_t kFaceBytes = 8;
constexpr std::uint64_t kFaceNumberBytes = 2;

}  // namespace

void SceneReader::readMesh() {
    currentMesh = addNode(meshes, new Mesh(objectName));
    readSubChunks();
}

void SceneReader::readVertices() {
    if (!currentMesh) return;
    std::int16_t count;
    if (!file.readI16(count) || count < 1) return;
    // Never trust the count further than the chunk's bytes reach.
    const auto n = std::min<std::uint64_t>(static_cast<std::uint64_t>(count),
                                           file.remaining() / kVertexBytes);
    auto& vertices = currentMesh->vertices;
    vertices.reserve(vertices.size() + n);
    for (std::uint64_t i = 0; i < n; ++i) {
        Vertex vertex{};
        if (!readPoint(vertex.position)) break;
        vertices.push_back(vertex);
    }
}

void SceneReader::readFaces() {
    if (!currentMesh) return;
    std::int16_t count;
    if (!file.readI16(count)) return;
    auto* group = new FaceGroup;
    group->materialIndex = -1;
    currentMesh->faceGroups.push_back(group);
    if (count < 0) return;  // no faces, and the rest of the chunk is not walked

    const auto n = std::min<std::uint64_t>(static_cast<std::uint64_t>(count),
                                           file.remaining() / kFaceBytes);
    auto& faces = currentMesh->faces;
    faces.reserve(faces.size() + n);
    group->faces.reserve(n);
    for (std::uint64_t i = 0; i < n; ++i) {
        std::uint16_t a, b, c, flags;
        if (!file.readU16(a) || !file.readU16(b) || !file.readU16(c) || !file.readU16(flags)) break;
        // Reversed order turns the file's winding into the engine's.
        const Face face{{c, b, a}};
        faces.push_back(face);
        group->faces.push_back(face);
    }
    readSubChunks();
}

void SceneReader::readMaterialGroup() {
    if (!currentMesh) return;
    const std::string materialName = readString();
    std::uint16_t count;
    if (!file.readU16(count)) return;

    // The first material group replaces the group of all faces; later ones accumulate.
    auto& groups = currentMesh->faceGroups;
    if (!groups.empty() && groups.front()->materialIndex == -1) currentMesh->clearFaceGroups();

    std::size_t index = 0;
    while (index < materials.size() && materials[index]->name != materialName) ++index;

    auto* group = new FaceGroup;
    group->materialIndex = static_cast<std::int32_t>(index);
    group->faces.reserve(std::min<std::uint64_t>(count, file.remaining() / kFaceNumberBytes));
    const auto& faces = currentMesh->faces;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::int16_t faceNumber;
        if (!file.readI16(faceNumber)) break;
        if (faceNumber >= 0 && static_cast<std::size_t>(faceNumber) < faces.size())
            group->faces.push_back(faces[static_cast<std::size_t>(faceNumber)]);
    }
    groups.push_back(group);
}

void SceneReader::readTextureCoordinates() {
    if (!currentMesh) return;
    std::int16_t count;
    if (!file.readI16(count) || count < 1) return;
    auto& vertices = currentMesh->vertices;
    // Pairs beyond the vertex count have nowhere to go and are not read.
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(count), vertices.size());
    for (std::size_t i = 0; i < n; ++i) {
        float u, v;
        if (!file.readFloat(u) || !file.readFloat(v)) break;
        vertices[i].u = u;
        vertices[i].v = -v;
    }
}

void SceneReader::readLocalMatrix() {
    if (!currentMesh) return;
    float rows[4][3];
    for (auto& row : rows)
        for (float& value : row)
            if (!file.readFloat(value)) return;  // an incomplete matrix moves nothing

    // The file's axes and origin, converted to engine coordinates: rows 1 and 2 and columns 1 and
    // 2 exchange, and the origin takes the tenth scale.
    D3DXMATRIX local;
    const int swap[3] = {0, 2, 1};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) local.m[r][c] = rows[swap[r]][swap[c]];
        local.m[r][3] = 0.0f;
    }
    for (int c = 0; c < 3; ++c) local.m[3][c] = rows[3][swap[c]] * 0.1f;
    local.m[3][3] = 1.0f;

    // Vertices are stored in world space; the inverse takes those read so far into object space.
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &local)) return;
    for (Vertex& vertex : currentMesh->vertices) {
        const D3DVECTOR p = vertex.position;
        vertex.position = {
            p.x * inverse._11 + p.y * inverse._21 + p.z * inverse._31 + inverse._41,
            p.x * inverse._12 + p.y * inverse._22 + p.z * inverse._32 + inverse._42,
            p.x * inverse._13 + p.y * inverse._23 + p.z * inverse._33 + inverse._43,
        };
    }
}
