// Helpers of the scene effect tests: parameter texts, scenes written as 3D Studio files and
// loaded through the scene list, and effect instances that end with their own Shutdown.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "meshdrome/SceneEffect.h"
#include "scene/SceneList.h"
#include "script/ScriptText.h"
#include "support/TempDir.h"
#include "tools/3dswriter/ThreeDSWriter.h"

namespace quorvel::testing {

inline std::unique_ptr<ScriptText> paramText(const std::string& text) {
    auto script = std::make_unique<ScriptText>();
    script->tokenizeText(text.data(), text.size());
    return script;
}

// An instance on the plug-in's heap, finished by its own Shutdown as the engine finishes it.
struct ShutdownEffect {
    void operator()(SceneEffect* effect) const { effect->Shutdown(); }
};
using EffectPtr = std::unique_ptr<SceneEffect, ShutdownEffect>;

inline EffectPtr parsedEffect(const std::string& text) {
    EffectPtr effect(new SceneEffect());
    auto params = paramText(text);
    EXPECT_EQ(effect->ParseParams(params.get()), 0) << text;
    return effect;
}

// Scenes written to a temporary folder and loaded by name, as "@loadscene" loads them.
class SceneFolder {
public:
    Scene* load(const std::string& name, const threeds::SceneDesc& desc) {
        dir_.write(name, bytes(desc));
        SceneList::setBasePath(dir_.path() + "/");
        Scene* scene = list.loadScene(name);
        EXPECT_NE(scene, nullptr) << name;
        return scene;
    }

    SceneList list;

private:
    static std::string bytes(const threeds::SceneDesc& desc) {
        const auto data = threeds::buildScene(desc);
        return std::string(data.begin(), data.end());
    }
    TempDir dir_;
};

inline threeds::CameraDesc camera(const std::string& name, threeds::Vec3 position = {0, -100, 0},
                                  threeds::Vec3 target = {0, 0, 0}) {
    threeds::CameraDesc desc;
    desc.name = name;
    desc.position = position;
    desc.target = target;
    return desc;
}

// A mesh of vertexCount vertices on a line and the given faces, grouped by material name.
inline threeds::MeshDesc mesh(const std::string& name, int vertexCount,
                              std::vector<threeds::FaceDesc> faces = {{0, 1, 2, 0}}) {
    threeds::MeshDesc desc;
    desc.name = name;
    for (int i = 0; i < vertexCount; ++i)
        desc.vertices.push_back({static_cast<float>(i), static_cast<float>(i % 2), 0.0f});
    desc.faces = std::move(faces);
    return desc;
}

}  // namespace quorvel::testing
