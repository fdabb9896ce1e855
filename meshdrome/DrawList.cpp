// Init: finding the scene and camera, and turning the scene's materials and face groups into the
// draw list that Render walks.
#include <algorithm>

#include "engine/ImageBank.h"
#include "meshdrome/MeshLimits.h"
#include "meshdrome/RuntimeRandom.h"
#include "meshdrome/ScenePose.h"
#include "meshdrome/SceneEffect.h"
#include "scene/SceneList.h"
#include "script/Reports.h"

namespace {

D3DCOLORVALUE colour(float r, float g, float b, float a) { return D3DCOLORVALUE{r, g, b, a}; }

ImageEntry* findImage(const EngineServices& services, const std::string& name) {
    return services.images ? services.images->FindImage(name.c_str()) : nullptr;
}

std::unique_ptr<DrawMaterial> materialFromScene(const Material& source, const EngineServices& services) {
    auto draw = std::make_unique<DrawMaterial>();
    const float alpha = 1.0f - source.transparency;
    const float strength = source.shininessStrength;
    D3DMATERIAL8& m = draw->material;
    m.Diffuse = colour(source.diffuse.r, source.diffuse.g, source.diffuse.b, alpha);
    m.Ambient = colour(source.ambient.r, source.ambient.g, source.ambient.b, alpha);
    m.Specular = colour(source.specular.r * strength, source.specular.g * strength,
                        source.specular.b * strength, alpha);
    m.Emissive = colour(0.0f, 0.0f, 0.0f, alpha);
    m.Power = source.shininess * 100.0f;

    draw->srcBlend = D3DBLEND_SRCALPHA;
    draw->destBlend = source.additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA;
    draw->alphaBlend = (!source.opacityMap.empty() || source.transparency != 0.0f) ? TRUE : FALSE;
    // An opacity map alone carries only alpha: the colour comes from the lighting.
    draw->colorOp = (!source.opacityMap.empty() && source.textureMap.empty()) ? D3DTOP_SELECTARG2
                                                                              : D3DTOP_MODULATE;
    // The engine loaded the texture map with the opacity map as its alpha under the texture
    // map's name, and an opacity map alone under its own name.
    if (!source.textureMap.empty())
        draw->image = findImage(services, source.textureMap);
    else if (!source.opacityMap.empty())
        draw->image = findImage(services, source.opacityMap);
    return draw;
}

float randomChannel() {
    return static_cast<float>(meshdrome::runtimeRandom() % 155 + 100) / 255.0f;
}

// A pseudo-randomly coloured material for faces whose material does not exist.
std::unique_ptr<DrawMaterial> defaultMaterial() {
    auto draw = std::make_unique<DrawMaterial>();
    D3DMATERIAL8& m = draw->material;
    const float r = randomChannel();
    const float g = randomChannel();
    const float b = randomChannel();
    m.Diffuse = colour(r, g, b, 1.0f);
    m.Ambient = colour(0.2f, 0.2f, 0.2f, 1.0f);
    m.Specular = colour(0.0f, 0.0f, 0.0f, 1.0f);
    m.Emissive = colour(0.0f, 0.0f, 0.0f, 1.0f);
    m.Power = 100.0f;
    draw->srcBlend = D3DBLEND_SRCALPHA;
    draw->destBlend = D3DBLEND_INVSRCALPHA;
    draw->alphaBlend = FALSE;
    draw->colorOp = D3DTOP_MODULATE;
    return draw;
}

Camera* chooseCamera(const Scene& scene, const std::string& name) {
    for (Camera* candidate : scene.cameras)
        if (candidate->name == name) return candidate;
    return scene.cameras.front();
}

}  // namespace

HRESULT SceneEffect::Init(EngineServices* services) {
    Scene* found = (services && services->scenes) ? services->scenes->findScene(sceneName) : nullptr;
    if (!found) {
        reportError("%s not loaded. You need to load the scene before use.", sceneName.c_str());
        return E_FAIL;
    }
    if (found->cameras.empty()) {
        reportError("%s has no camera(s)", sceneName.c_str());
        return E_FAIL;
    }
    scene = found;
    camera = chooseCamera(*scene, cameraName);
    // Room for every node posing may have pending, so that no frame has to grow it.
    poseStack.reserve(meshdrome::sceneNodeCount(*scene));

    // Records of an earlier Init are freed here; the draw list is rebuilt from the scene.
    materials.clear();
    for (const Material* source : scene->materials) materials.push_back(materialFromScene(*source, *services));

    UINT baseVertex = 0;
    UINT firstFace = 0;
    for (Mesh* mesh : scene->meshes) {
        for (const FaceGroup* group : mesh->faceGroups) {
            // Position i of the list belongs to scene material i; any other index (-1, or past
            // the end) gets a default material, which a later group of the same index shares.
            const std::int32_t index = group->materialIndex;
            if (index < 0 || static_cast<std::size_t>(index) >= materials.size()) {
                materials.push_back(defaultMaterial());
            }
            DrawMaterial& target = (index >= 0 && static_cast<std::size_t>(index) < materials.size())
                                       ? *materials[static_cast<std::size_t>(index)]
                                       : *materials.back();
            auto part = std::make_unique<DrawPart>();
            part->mesh = mesh;
            part->baseVertex = baseVertex;
            part->firstFace = firstFace;
            part->faceCount = static_cast<UINT>(meshdrome::drawableFaceCount(*group, mesh->vertices.size()));
            part->vertexCount = static_cast<UINT>(meshdrome::drawableVertexCount(*mesh));
            firstFace += part->faceCount;
            target.parts.push_back(std::move(part));
        }
        baseVertex += static_cast<UINT>(mesh->vertices.size());
    }

    // Blended materials are drawn after every opaque one, each group keeping its order.
    std::stable_partition(materials.begin(), materials.end(),
                          [](const std::unique_ptr<DrawMaterial>& m) { return !m->alphaBlend; });
    return 0;
}
