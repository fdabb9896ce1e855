// Cameras of the editor section.
#include "scene/SceneReader.h"

void SceneReader::readCamera() {
    auto* camera = currentCamera = addNode(cameras, new Camera(objectName));
    readPoint(camera->position);
    readPoint(camera->targetPosition);
    // Bank angle and lens follow; the field of view comes from the fov track instead.
}
