#include "meshdrome/ScenePose.h"

#include <array>
#include <cmath>
#include <vector>

#include "meshdrome/SceneEffect.h"
#include "scene/Scene.h"

namespace meshdrome {

namespace {

std::array<float, 3> valueAt(VectorTrack& track, float frame) {
    std::array<float, 3> value;
    track.evaluate(frame, value.data());
    return value;
}

// The node's own transform: scale, then rotation, then translation.
D3DXMATRIX localMatrix(SceneNode& node, float frame) {
    D3DXMATRIX local;
    D3DXMatrixIdentity(&local);
    if (node.rotationTrack.keyCount > 0) {
        Quat q;
        node.rotationTrack.evaluate(frame, q);
        // Rotation keys keep their axis in the file's component order; exchanging the first two
        // components expresses the rotation in the scene's axes, whose second and third
        // coordinates are the file's third and second.
        const D3DXQUATERNION swapped{q.y, q.x, q.z, q.w};
        D3DXMatrixRotationQuaternion(&local, &swapped);
    }
    if (node.scaleTrack.keyCount > 0) {
        const auto s = valueAt(node.scaleTrack, frame);
        D3DXMATRIX scaling;
        D3DXMatrixMultiply(&local, D3DXMatrixScaling(&scaling, s[0], s[1], s[2]), &local);
    }
    if (node.positionTrack.keyCount > 0) {
        const auto p = valueAt(node.positionTrack, frame);
        D3DXMATRIX translation;
        D3DXMatrixMultiply(&local, &local, D3DXMatrixTranslation(&translation, p[0], p[1], p[2]));
    }
    return local;
}

void poseNode(SceneNode& node, float frame) {
    const D3DXMATRIX local = localMatrix(node, frame);
    if (node.parent)
        D3DXMatrixMultiply(&node.world, &local, &node.parent->world);
    else
        node.world = local;
    node.position = D3DVECTOR{node.world._41, node.world._42, node.world._43};

    if (node.type == NodeType::Camera) {
        // Scenes without keyframer data give cameras empty tracks: their fov and roll stay.
        Camera& camera = static_cast<Camera&>(node);
        if (camera.fovTrack.keyCount > 0) camera.fov = evaluateScalar(camera.fovTrack, frame);
        if (camera.rollTrack.keyCount > 0) camera.roll = evaluateScalar(camera.rollTrack, frame);
    }
}

}  // namespace

float sceneFrame(float seconds, float fps, float endFrame) {
    if (!(endFrame > 0.0f)) return 0.0f;
    const float frame = std::fmod(seconds * fps, endFrame);
    return std::isfinite(frame) ? frame : 0.0f;
}

void poseHierarchy(SceneNode& node, float frame, std::vector<SceneNode*>& pending) {
    // Depth-first in children order, without recursion so that long chains of nodes cannot
    // exhaust the stack.
    pending.clear();
    pending.push_back(&node);
    while (!pending.empty()) {
        SceneNode* current = pending.back();
        pending.pop_back();
        poseNode(*current, frame);
        for (auto child = current->children.rbegin(); child != current->children.rend(); ++child)
            pending.push_back(*child);
    }
}

std::size_t sceneNodeCount(const Scene& scene) {
    return scene.meshes.size() + scene.cameras.size() + scene.cameraTargets.size() + scene.lights.size() +
           scene.spotlights.size() + scene.dummies.size();
}

void poseScene(Scene& scene, float frame, std::vector<SceneNode*>& pending) {
    for (SceneNode* root : scene.roots) poseHierarchy(*root, frame, pending);
}

}  // namespace meshdrome

HRESULT SceneEffect::Update(float secondsSinceStart) {
    if (!scene) return 0;
    frame = meshdrome::sceneFrame(secondsSinceStart, fps, scene->endFrame);
    meshdrome::poseScene(*scene, frame, poseStack);
    return 0;
}
