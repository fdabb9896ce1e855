// Posing a scene for one animation frame: every node reachable from the roots gets its world
// matrix and world position from its tracks, cameras their field of view and roll.
#pragma once

#include <cstddef>
#include <vector>

struct Scene;
struct SceneNode;

namespace meshdrome {

// The animation frame for a time: seconds x fps wrapped into the scene's length. A scene without
// an animation length (no keyframer data) and a time that gives no finite frame stay at frame 0.
float sceneFrame(float seconds, float fps, float endFrame);

// Poses node and everything below it; a parent is posed before its children, so each child
// combines with its parent's matrix of the same frame. pending holds the nodes still to pose;
// the caller keeps it from frame to frame, so that posing allocates nothing once it has grown.
void poseHierarchy(SceneNode& node, float frame, std::vector<SceneNode*>& pending);

// Every node of the scene: meshes, cameras and their targets, lights, spotlights, dummies. Posing
// never has more nodes pending than this.
std::size_t sceneNodeCount(const Scene& scene);

// Poses every root of the scene, in order.
void poseScene(Scene& scene, float frame, std::vector<SceneNode*>& pending);

}  // namespace meshdrome
