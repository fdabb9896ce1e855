// One loaded 3D Studio scene: every node, material and the node hierarchy. Shared with plug-ins.
#pragma once

#include <string>
#include <vector>

#include "scene/Material.h"
#include "scene/SceneNode.h"

// The scene owns every node through exactly one of its type lists (meshes, cameras,
// cameraTargets, lights, spotlights, dummies) and every material; roots and children are views.
struct Scene {
    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    virtual ~Scene();

    std::vector<Mesh*> meshes;
    std::vector<Camera*> cameras;  // the first is the default camera
    std::vector<SceneNode*> cameraTargets;
    std::vector<Light*> lights;
    std::vector<SceneNode*> spotlights;
    std::vector<Material*> materials;
    std::vector<SceneNode*> dummies;
    // While reading: every node in creation order. After finishing: the root nodes only.
    std::vector<SceneNode*> roots;
    float startFrame = 0.0f;
    float endFrame = 0.0f;  // animation length in frames
    std::string name;       // as the script named it, without the base path
};
