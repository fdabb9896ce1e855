// Materials of the editor section, and the colour and percentage sub-chunks whose values their
// colour and percentage chunks (and lights) consume.
#include "scene/SceneReader.h"

void SceneReader::readColourFloats() {
    float r, g, b;
    if (file.readFloat(r) && file.readFloat(g) && file.readFloat(b)) colour = {r, g, b, 0.0f};
}

void SceneReader::readColourBytes() {
    std::uint8_t rgb[3];
    if (file.read(rgb, 3)) colour = {rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f, 0.0f};
}

void SceneReader::readPercentInteger() {
    std::int16_t n;
    if (file.readI16(n)) percent = n * 0.01f;
}

void SceneReader::readMaterial() {
    auto* material = new Material;
    material->name = readString();
    materials.push_back(material);
    currentMaterial = material;
}

void SceneReader::setMaterialSwitch(std::uint8_t Material::*flag) {
    if (currentMaterial) currentMaterial->*flag = 1;
}

void SceneReader::readMaterialColour(ColourValue Material::*slot) {
    if (!currentMaterial) return;
    readSubChunks();
    currentMaterial->*slot = colour;
}

void SceneReader::readMaterialPercent(float Material::*slot) {
    if (!currentMaterial) return;
    readSubChunks();
    currentMaterial->*slot = percent;
}

void SceneReader::readMaterialShading() {
    std::uint8_t shading;
    if (currentMaterial && file.readU8(shading) && shading == 1) currentMaterial->flatShading = 1;
}

void SceneReader::readMap(MapSlot slot) {
    if (!currentMaterial) return;
    mapSlot = slot;
    readSubChunks();
}

void SceneReader::readMapName() {
    if (!currentMaterial || mapSlot == MapSlot::None) return;
    std::string mapName = readString();
    if (mapSlot == MapSlot::Texture)
        currentMaterial->textureMap = std::move(mapName);
    else
        currentMaterial->opacityMap = std::move(mapName);
}
