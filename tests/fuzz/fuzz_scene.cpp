// Feeds arbitrary bytes to the 3D Studio reader: it must load, finish and destroy any input
// without reading or writing out of bounds, leaking, or running away.
#include <cstddef>
#include <cstdint>

#include "scene/SceneReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SceneReader scene;
    scene.openMemory(data, size);

    // Walk what consumers walk: faces through their range check, hierarchy from the roots.
    volatile std::size_t touched = 0;
    for (const Mesh* mesh : scene.meshes)
        for (const FaceGroup* group : mesh->faceGroups)
            for (const Face& face : group->faces)
                if (faceInRange(face, mesh->vertices.size()))
                    touched = touched + (mesh->vertices[face.index[0]].position.x != 0.0f ? 1 : 0);
    for (const SceneNode* root : scene.roots)
        for (const SceneNode* child : root->children) touched = touched + (child->parent != nullptr);
    return 0;
}
