// Drives the scene effect with arbitrary parameter text and an arbitrary 3D Studio file: reading
// the blocks must stay inside the text, and the draw list built from a damaged scene must only
// name faces and vertices that exist, whatever the file's indices and material groups say.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "meshdrome/SceneEffect.h"
#include "platform/win/OutputRedirection.h"
#include "scene/SceneList.h"
#include "scene/SceneReader.h"
#include "script/ScriptText.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// Every part lies inside the faces and vertices the buffers of Start would hold.
void checkDrawList(const SceneEffect& effect, const Scene& scene) {
    std::size_t vertices = 0;
    std::size_t faces = 0;
    for (const Mesh* mesh : scene.meshes) {
        vertices += mesh->vertices.size();
        for (const FaceGroup* group : mesh->faceGroups)
            for (const Face& face : group->faces) faces += faceInRange(face, mesh->vertices.size()) ? 1 : 0;
    }
    for (const auto& material : effect.materials) {
        for (const auto& part : material->parts) {
            check(std::size_t(part->firstFace) + part->faceCount <= faces);
            check(std::size_t(part->baseVertex) + part->vertexCount <= vertices);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvel::platform::setMessageBoxesHeadless(true);
    if (size == 0) return 0;
    const std::size_t textLength = std::min<std::size_t>(data[0], size - 1);
    const auto* text = reinterpret_cast<const char*>(data + 1);

    auto* effect = new SceneEffect();
    ScriptText params;
    params.tokenizeText(text, textLength);
    effect->ParseParams(&params);

    SceneList list;
    auto* scene = new SceneReader();
    scene->openMemory(data + 1 + textLength, size - 1 - textLength);
    scene->name = "fuzz.3ds";
    list.scenes.push_back(scene);

    effect->sceneName = "fuzz.3ds";
    EngineServices services{nullptr, nullptr, &list};
    if (effect->Init(&services) == 0) {
        checkDrawList(*effect, *scene);
        effect->Update(0.0f);
        effect->Update(1.5f);
        effect->Update(0.25f);
    }
    effect->Shutdown();
    return 0;
}
