#include <cfloat>

#include "meshdrome/RenderSetup.h"
#include "scene/Scene.h"

namespace meshdrome {

D3DLIGHT8 sceneLight(const Light& light) {
    D3DLIGHT8 out{};
    out.Type = light.isSpot ? D3DLIGHT_SPOT : D3DLIGHT_POINT;
    out.Diffuse = D3DCOLORVALUE{light.colour.r, light.colour.g, light.colour.b, 1.0f};
    out.Specular = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    out.Ambient = D3DCOLORVALUE{0.2f, 0.2f, 0.2f, 0.2f};
    out.Position = light.position;
    if (light.isSpot) {
        // The loader leaves spotTarget empty; the target point read from the file stands in.
        const D3DVECTOR target = light.spotTarget ? light.spotTarget->position : light.targetPosition;
        out.Direction = D3DVECTOR{target.x - light.position.x, target.y - light.position.y,
                                  target.z - light.position.z};
    }
    out.Range = FLT_MAX;
    if (light.range > 0.0f) {
        out.Attenuation1 = 1.0f / light.range;
    } else {
        // A light without a range would get an infinite attenuation factor and light nothing;
        // it shines unattenuated instead.
        out.Attenuation0 = 1.0f;
    }
    return out;
}

D3DLIGHT8 defaultLight() {
    D3DLIGHT8 out{};
    out.Type = D3DLIGHT_DIRECTIONAL;
    out.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    out.Ambient = D3DCOLORVALUE{0.4f, 0.4f, 0.4f, 0.4f};
    out.Position = D3DVECTOR{10.0f, 10.0f, -1000.0f};
    out.Direction = D3DVECTOR{-10.0f, -10.0f, 1000.0f};
    out.Range = FLT_MAX;
    out.Attenuation0 = 1.0f;
    return out;
}

void setLights(IDirect3DDevice8& device, const Scene& scene) {
    if (scene.lights.empty()) {
        for (DWORD slot = 1; slot < DeviceLightSlots; ++slot) device.LightEnable(slot, FALSE);
        const D3DLIGHT8 light = defaultLight();
        device.SetLight(0, &light);
        device.LightEnable(0, TRUE);
        return;
    }
    for (DWORD slot = 0; slot < DeviceLightSlots; ++slot) device.LightEnable(slot, FALSE);
    for (DWORD slot = 0; slot < DeviceLightSlots && slot < scene.lights.size(); ++slot) {
        const D3DLIGHT8 light = sceneLight(*scene.lights[slot]);
        device.SetLight(slot, &light);
        device.LightEnable(slot, TRUE);
    }
}

}  // namespace meshdrome
