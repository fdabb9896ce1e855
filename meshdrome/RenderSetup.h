// The lighting and camera set-up of a scene draw, as separate steps so each can be checked alone.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8math.h"

struct Scene;
struct Camera;
struct Light;

namespace meshdrome {

// The device has eight light slots; further scene lights are ignored.
constexpr DWORD DeviceLightSlots = 8;

// The device light for a scene light at its posed position.
D3DLIGHT8 sceneLight(const Light& light);

// The light used when a scene has none: a white directional light from the front.
D3DLIGHT8 defaultLight();

// Switches the slots off, then sets and switches on the scene's first eight lights, or the
// default light in slot 0 when the scene has no light.
void setLights(IDirect3DDevice8& device, const Scene& scene);

// (0, 1, 0) turned about the z axis by roll degrees.
D3DXVECTOR3 cameraUp(float rollDegrees);

// Sets the projection (field of view, the viewport's aspect) and then the view of the camera.
void setCamera(IDirect3DDevice8& device, const Camera& camera);

}  // namespace meshdrome
