// Cost of one Update (frame from time, posing every node through its tracks) and of Init (draw
// list from materials and face groups) for scenes of many animated meshes in chains of ten.
#include <benchmark/benchmark.h>

#include <memory>

#include "meshdrome/SceneEffect.h"
#include "scene/SceneList.h"

namespace {

constexpr int KeysPerTrack = 30;
constexpr float FrameStep = 10.0f;

template <class Track, class Key, class Fill>
void fillTrack(Track& track, Fill fill) {
    for (int k = 0; k < KeysPerTrack; ++k) {
        Key key{};
        key.frame = static_cast<float>(k) * FrameStep;
        fill(key, k);
        track.addKey(key);
    }
    track.flags = 2;  // repeat
    track.prepare();
}

// meshCount meshes of 24 vertices and 12 faces in 4 groups over 8 materials, each node animated
// in position, rotation and scale, linked in chains of ten.
std::unique_ptr<SceneList> makeScenes(int meshCount) {
    auto list = std::make_unique<SceneList>();
    auto* scene = new Scene();
    scene->name = "bench";
    scene->endFrame = KeysPerTrack * FrameStep;
    scene->cameras.push_back(new Camera("Cam"));
    scene->roots.push_back(scene->cameras[0]);
    for (int m = 0; m < 8; ++m) {
        auto* material = new Material();
        material->transparency = m % 3 == 0 ? 0.5f : 0.0f;
        scene->materials.push_back(material);
    }
    for (int i = 0; i < meshCount; ++i) {
        std::string name = "m";
        name += std::to_string(i);
        auto* mesh = new Mesh(name);
        mesh->vertices.resize(24);
        for (int g = 0; g < 4; ++g) {
            auto* group = new FaceGroup();
            group->materialIndex = (i + g) % 8;
            for (int f = 0; f < 3; ++f) group->faces.push_back(Face{{0, 1, 2}});
            mesh->faceGroups.push_back(group);
        }
        fillTrack<VectorTrack, VectorKey>(mesh->positionTrack, [](VectorKey& key, int k) {
            key.value[0] = static_cast<float>(k);
            key.value[1] = static_cast<float>(k % 3);
        });
        fillTrack<VectorTrack, VectorKey>(mesh->scaleTrack, [](VectorKey& key, int k) {
            key.value[0] = key.value[1] = key.value[2] = 1.0f + 0.01f * static_cast<float>(k);
        });
        fillTrack<RotationTrack, RotationKey>(mesh->rotationTrack, [](RotationKey& key, int) {
            key.angle = 0.2f;
            key.axis[2] = 1.0f;
        });
        if (i % 10 == 0) {
            scene->roots.push_back(mesh);
        } else {
            Mesh* parent = scene->meshes.back();
            mesh->parent = parent;
            parent->children.push_back(mesh);
        }
        scene->meshes.push_back(mesh);
    }
    list->scenes.push_back(scene);
    return list;
}

struct EffectEnd {
    void operator()(SceneEffect* effect) const { effect->Shutdown(); }
};

void BM_UpdatePosesScene(benchmark::State& state) {
    auto scenes = makeScenes(static_cast<int>(state.range(0)));
    EngineServices services{nullptr, nullptr, scenes.get()};
    std::unique_ptr<SceneEffect, EffectEnd> effect(new SceneEffect());
    effect->sceneName = "bench";
    if (effect->Init(&services) != 0) state.SkipWithError("Init failed");
    float seconds = 0.0f;
    for (auto _ : state) {
        effect->Update(seconds);
        seconds += 1.0f / 60.0f;
        benchmark::DoNotOptimize(scenes->scenes[0]->meshes.back()->world);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_UpdatePosesScene)->Arg(100)->Arg(1000);

void BM_InitBuildsDrawList(benchmark::State& state) {
    auto scenes = makeScenes(static_cast<int>(state.range(0)));
    EngineServices services{nullptr, nullptr, scenes.get()};
    std::unique_ptr<SceneEffect, EffectEnd> effect(new SceneEffect());
    effect->sceneName = "bench";
    for (auto _ : state) benchmark::DoNotOptimize(effect->Init(&services));
}
BENCHMARK(BM_InitBuildsDrawList)->Arg(100)->Arg(1000);

}  // namespace
