// Lights of the editor section, with their spotlight data and ranges.
#include "scene/SceneReader.h"

void SceneReader::readLight() {
    auto* light = currentLight = addNode(lights, new Light(objectName));
    readPoint(light->position);
    readSubChunks();
    // A light without its own colour or range sub-chunks takes what was read last in the file.
    light->colour = colour;
    light->innerRange = innerRange;
    light->outerRange = outerRange;
}

void SceneReader::readSpotlight() {
    if (!currentLight) return;
    currentLight->isSpot = 1;
    readPoint(currentLight->targetPosition);
    file.readFloat(currentLight->hotspot);
    file.readFloat(currentLight->falloff);
}
