// Plays one 3D Studio file alone, without a script written for it: the engine reads a one-event
// script made here (the "scene" effect of meshdrome over the whole file, looping its animation)
// and the viewer looks at the scene through a camera of its own. That camera follows one of the
// file's cameras (C picks the next one) or, for a file without cameras, frames the whole scene
// from the front and a little above.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "scene/Scene.h"

class ScriptText;

namespace quorvel {

class SceneViewer {
public:
    // The name the viewer's camera has in the scene.
    static constexpr const char* kCameraName = "quorvel viewer camera";
    // Seconds a scene without animation plays before the show starts again.
    static constexpr float kStillSceneSeconds = 10.0f;

    // Views this file, named relative to the engine's data folder.
    void open(std::string sceneFile) { sceneFile_ = std::move(sceneFile); }
    bool isOpen() const { return !sceneFile_.empty(); }
    const std::string& sceneFile() const { return sceneFile_; }

    // Appends the tokens of the one-event script that plays the scene.
    void writeScript(ScriptText& script) const;

    // Once the scene is loaded: puts the viewer's camera first among the scene's cameras, so the
    // scene effect looks through it, and notes the file's own cameras. Returns the length of one
    // animation cycle in seconds.
    float prepare(Scene& scene);

    // Clears the texture and opacity map names of materials whose files do not exist below
    // folder, so that a file made elsewhere still shows, in its material colours; returns the
    // names cleared. (A script's missing map ends the show; a viewed file only loses the map.)
    static std::vector<std::string> forgetMissingMaps(Scene& scene, const std::string& folder);

    // Each frame after the scene effect has posed the scene: places the viewer's camera.
    // scenePosed is false while the scene still holds its loaded, unposed state (the frame the
    // effect started in); a framing made from that state is made again on the next frame.
    void aim(bool scenePosed);

    // Switches to the file's next camera; false when the file has fewer than two.
    bool nextCamera();
    // The file camera being followed, or null for the framing camera.
    const Camera* followedCamera() const;
    std::size_t fileCameraCount() const { return fileCameras_.size(); }
    const Camera* viewCamera() const { return viewCamera_; }

private:
    void follow(std::size_t index);
    void frameWholeScene();

    std::string sceneFile_;
    Scene* scene_ = nullptr;
    Camera* viewCamera_ = nullptr;  // owned by the scene, through its camera list
    std::vector<Camera*> fileCameras_;
    // Where each file camera stands in the editor section: the place of a camera that has no
    // keyframer node, which posing cannot give.
    std::vector<D3DVECTOR> editorPositions_;
    std::size_t selected_ = 0;
    bool framedFromPose_ = false;
};

// A camera that sees the whole sphere (centre, radius) from the front (the -z side) and a little
// above, within the scene effect's near and far planes: its position, and its vertical field of
// view in degrees.
struct Framing {
    D3DVECTOR eye;
    float fovDegrees;
};
Framing frameSphere(const D3DVECTOR& centre, float radius);

// The bounding sphere of the vertices of every mesh, placed by the meshes' world matrices.
// A scene without vertices gives the unit sphere at the origin.
void sceneBounds(const Scene& scene, D3DVECTOR& centre, float& radius);

}  // namespace quorvel
