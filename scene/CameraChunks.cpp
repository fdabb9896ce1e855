// Cameras of the editor section.
#include "scene/SceneReader.h"

void SceneReader::readCamera() {
    auto* camera = new Camera(objectName);
    cameras.push_back(camera);
    roots.push_back(camera);
    currentCamera = camera;
    readPoint(camera->position);
    readPoint(camera->targetPosition);
    // Bank angle and lens follow; the field of view comes from the fov track instead.
}
