#include "engine/SceneViewer.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <filesystem>

#include "platform/d3dx8/d3dx8math.h"
#include "platform/win/FileNames.h"
#include "script/ScriptText.h"

namespace quorvel {
namespace {

constexpr float kDegrees = 57.29578f;
constexpr float kViewFov = 45.0f;        // degrees, vertical
constexpr float kElevation = 20.0f;      // degrees above the horizon
// The scene effect draws between these depths.
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 3000.0f;
// Frames per second of 3D Studio animation, as the scene effect plays it by default.
constexpr float kSceneFps = 30.0f;
// The viewer's one event lasts practically forever; the show loops long before.
constexpr const char* kEventEnd = "1000000";

}  // namespace

void SceneViewer::writeScript(ScriptText& script) const {
    // Tokens are appended one by one rather than written as text and tokenized, so that a file
    // name with spaces or quotes stays one token.
    for (const char* token : {"@data.", "@loadlibrary", "meshdrome"}) script.appendToken(token);
    script.appendToken("@loadscene");
    script.appendToken(sceneFile_);
    for (const char* token : {"@code.", "@basetime", "0", "0", "0", "create", "scene", "{", "file"})
        script.appendToken(token);
    script.appendToken(sceneFile_);
    for (const char* token : {"}", kEventEnd, "0", "delete", "@eof"}) script.appendToken(token);
}

float SceneViewer::prepare(Scene& scene) {
    scene_ = &scene;
    fileCameras_ = scene.cameras;
    editorPositions_.clear();
    for (const Camera* camera : fileCameras_) editorPositions_.push_back(camera->position);

    // The viewer's camera is in no hierarchy (not among the roots), so posing never moves it:
    // aim() alone places it.
    auto* camera = new Camera(kCameraName);
    scene.cameras.insert(scene.cameras.begin(), camera);
    viewCamera_ = camera;
    selected_ = 0;
    framedFromPose_ = false;
    if (!fileCameras_.empty()) follow(0);

    const float seconds = scene.endFrame / kSceneFps;
    return seconds > 0.0f ? seconds : kStillSceneSeconds;
}

std::vector<std::string> SceneViewer::forgetMissingMaps(Scene& scene, const std::string& folder) {
    std::vector<std::string> missing;
    auto check = [&](std::string& name) {
        if (name.empty()) return;
        std::error_code ec;
        if (std::filesystem::is_regular_file(platform::resolveFileName(folder + name), ec)) return;
        missing.push_back(name);
        name.clear();
    };
    for (Material* material : scene.materials) {
        check(material->textureMap);
        check(material->opacityMap);
    }
    return missing;
}

void SceneViewer::aim(bool scenePosed) {
    if (!viewCamera_) return;
    if (!fileCameras_.empty()) {
        follow(selected_);
    } else if (!framedFromPose_) {
        frameWholeScene();
        framedFromPose_ = scenePosed;
    }
}

bool SceneViewer::nextCamera() {
    if (fileCameras_.size() < 2) return false;
    selected_ = (selected_ + 1) % fileCameras_.size();
    follow(selected_);
    return true;
}

const Camera* SceneViewer::followedCamera() const {
    return fileCameras_.empty() ? nullptr : fileCameras_[selected_];
}

void SceneViewer::follow(std::size_t index) {
    const Camera& source = *fileCameras_[index];
    // A camera without a keyframer node is posed at the origin; it stands where the editor put it.
    viewCamera_->position = source.nodeId < 0 ? editorPositions_[index] : source.position;
    viewCamera_->target = source.target;
    viewCamera_->targetPosition = source.targetPosition;
    viewCamera_->fov = source.fov;
    viewCamera_->roll = source.roll;
}

void SceneViewer::frameWholeScene() {
    D3DVECTOR centre{};
    float radius = 0.0f;
    sceneBounds(*scene_, centre, radius);
    const Framing framing = frameSphere(centre, radius);
    viewCamera_->position = framing.eye;
    viewCamera_->fov = framing.fovDegrees;
    viewCamera_->roll = 0.0f;
    viewCamera_->target = nullptr;
    viewCamera_->targetPosition = centre;
}

Framing frameSphere(const D3DVECTOR& centre, float radius) {
    radius = std::max(radius, 1e-3f);
    float half = kViewFov / 2.0f / kDegrees;
    float distance = radius / std::sin(half);
    // A small scene would reach into the near plane: stand back a little further and narrow
    // the view instead.
    const float closest = radius + 2.0f * kNearPlane;
    if (distance < closest) {
        distance = closest;
        half = std::asin(radius / distance);
    }
    // A large scene would reach past the far plane: come closer and widen the view, up to 90
    // degrees.
    const float farthest = 0.95f * kFarPlane - radius;
    if (distance > farthest && farthest > radius) {
        half = std::min(std::asin(radius / farthest), 45.0f / kDegrees);
        distance = radius / std::sin(half);
    }
    const float up = kElevation / kDegrees;
    Framing framing;
    framing.eye = D3DVECTOR{centre.x, centre.y + distance * std::sin(up), centre.z - distance * std::cos(up)};
    framing.fovDegrees = 2.0f * half * kDegrees;
    return framing;
}

void sceneBounds(const Scene& scene, D3DVECTOR& centre, float& radius) {
    D3DXVECTOR3 low(FLT_MAX, FLT_MAX, FLT_MAX), high(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    std::vector<D3DXVECTOR3> points;
    for (const Mesh* mesh : scene.meshes) {
        for (const Vertex& vertex : mesh->vertices) {
            const D3DXVECTOR3 local(vertex.position.x, vertex.position.y, vertex.position.z);
            D3DXVECTOR3 world;
            D3DXVec3TransformCoord(&world, &local, &mesh->world);
            if (!std::isfinite(world.x) || !std::isfinite(world.y) || !std::isfinite(world.z)) continue;
            low = D3DXVECTOR3(std::min(low.x, world.x), std::min(low.y, world.y), std::min(low.z, world.z));
            high = D3DXVECTOR3(std::max(high.x, world.x), std::max(high.y, world.y), std::max(high.z, world.z));
            points.push_back(world);
        }
    }
    if (points.empty()) {
        centre = D3DVECTOR{0.0f, 0.0f, 0.0f};
        radius = 1.0f;
        return;
    }
    const D3DXVECTOR3 middle((low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2);
    float farthest = 0.0f;
    for (const D3DXVECTOR3& p : points) {
        const float dx = p.x - middle.x, dy = p.y - middle.y, dz = p.z - middle.z;
        farthest = std::max(farthest, dx * dx + dy * dy + dz * dz);
    }
    centre = D3DVECTOR{middle.x, middle.y, middle.z};
    radius = std::sqrt(farthest);
}

}  // namespace quorvel
