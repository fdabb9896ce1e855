// A readable account of a loaded scene, for finding out why a scene looks wrong on screen.
#pragma once

#include <ostream>

#include "scene/Scene.h"

namespace quorvel {

void printSceneReport(std::ostream& out, const Scene& scene);

}  // namespace quorvel
