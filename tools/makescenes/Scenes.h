// The bundled show's scenes, described for the 3D Studio writer.
#pragma once

#include "tools/3dswriter/ThreeDSWriter.h"

namespace quorvel {

// The writer's descriptions, by the short names the scene files use.
using threeds::Colour;
using threeds::MaterialDesc;
using threeds::NodeDesc;
using threeds::NodeKind;

// A brass orrery on a panelled platform: a banded planet with an additive halo and a ring,
// two arms carrying moons (one of glass with a crystal inside), a floating title banner, three
// coloured lights and a spotlight, and three cameras ("Camera01", "Closeup", "Top").
threeds::SceneDesc orreryScene();

// A neon grid tunnel with chrome hoops and spinning crystals, flown through by the camera
// "Flight" in a seamless ten-second loop; its blended grid suits drawing it over other layers.
threeds::SceneDesc tunnelScene();

}  // namespace quorvel
