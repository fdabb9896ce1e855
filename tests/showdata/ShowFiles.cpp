#include "ShowFiles.h"

#include <filesystem>

#include "platform/win/FileNames.h"

namespace showtest {

const std::string& dataFolder() {
    static const std::string folder = QUORVEL_SHOW_DATA;
    return folder;
}

bool dataFileExists(const std::string& name) {
    return std::filesystem::is_regular_file(quorvel::platform::resolveFileName(dataFolder() + name));
}

SceneNode* findNode(Scene& scene, const std::string& name) {
    auto search = [&](const auto& list) -> SceneNode* {
        for (SceneNode* node : list)
            if (node->name == name) return node;
        return nullptr;
    };
    if (SceneNode* n = search(scene.meshes)) return n;
    if (SceneNode* n = search(scene.cameras)) return n;
    if (SceneNode* n = search(scene.lights)) return n;
    if (SceneNode* n = search(scene.dummies)) return n;
    return nullptr;
}

Mesh* findMesh(Scene& scene, const std::string& name) {
    for (Mesh* mesh : scene.meshes)
        if (mesh->name == name) return mesh;
    return nullptr;
}

Material* findMaterial(Scene& scene, const std::string& name) {
    for (Material* material : scene.materials)
        if (material->name == name) return material;
    return nullptr;
}

}  // namespace showtest
