#include "scene/Scene.h"

namespace {

template <class T>
void destroyEach(std::vector<T*>& list) {
    for (T* item : list) delete item;
    list.clear();
}

}  // namespace

SceneNode::SceneNode(NodeType nodeType, std::string nodeName)
    : type(nodeType), name(std::move(nodeName)) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) world.m[r][c] = r == c ? 1.0f : 0.0f;
}

Mesh::Mesh(std::string meshName) : SceneNode(NodeType::Mesh, std::move(meshName)) {}

Mesh::~Mesh() { clearFaceGroups(); }

void Mesh::clearFaceGroups() { destroyEach(faceGroups); }

Camera::Camera(std::string cameraName) : SceneNode(NodeType::Camera, std::move(cameraName)) {}

Light::Light(std::string lightName) : SceneNode(NodeType::Light, std::move(lightName)) {}

Scene::~Scene() {
    // Each node lives in exactly one type list; roots and children only point at them.
    roots.clear();
    destroyEach(meshes);
    destroyEach(cameras);
    destroyEach(cameraTargets);
    destroyEach(lights);
    destroyEach(spotlights);
    destroyEach(dummies);
    destroyEach(materials);
}
