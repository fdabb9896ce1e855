// Access to the bundled show's files for the show tests.
#pragma once

#include <string>

#include "scene/Scene.h"

namespace showtest {

// The show's data folder, ending in '/'.
const std::string& dataFolder();

// True when the player would find a file of that name in the data folder (exact name first,
// then ignoring case).
bool dataFileExists(const std::string& name);

// The first node of any kind with that name, searching the scene's type lists.
SceneNode* findNode(Scene& scene, const std::string& name);
Mesh* findMesh(Scene& scene, const std::string& name);
Material* findMaterial(Scene& scene, const std::string& name);

}  // namespace showtest
