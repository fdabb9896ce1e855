// Helpers of the scene tests: load a scene from bytes or from a description.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "scene/SceneReader.h"
#include "tools/3dswriter/ThreeDSWriter.h"

namespace quorvel::testing {

inline std::unique_ptr<SceneReader> load(const std::vector<std::uint8_t>& bytes) {
    auto scene = std::make_unique<SceneReader>();
    scene->openMemory(bytes.data(), bytes.size());
    return scene;
}

inline std::unique_ptr<SceneReader> load(const threeds::SceneDesc& desc) {
    return load(threeds::buildScene(desc));
}

// A file whose editor section holds exactly the chunks that body writes.
template <class Body>
std::vector<std::uint8_t> editorFile(Body body) {
    threeds::ChunkWriter out;
    out.begin(ChunkId::Main);
    out.begin(ChunkId::Editor);
    body(out);
    out.end();
    out.end();
    return out.take();
}

// A file whose one named object is a mesh holding exactly the chunks that body writes.
template <class Body>
std::vector<std::uint8_t> meshFile(const std::string& name, Body body) {
    return editorFile([&](threeds::ChunkWriter& out) {
        out.begin(ChunkId::NamedObject);
        out.str(name);
        out.begin(ChunkId::Mesh);
        body(out);
        out.end();
        out.end();
    });
}

inline threeds::MeshDesc triangleMesh(const std::string& name) {
    threeds::MeshDesc mesh;
    mesh.name = name;
    mesh.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
    mesh.faces = {{0, 1, 2, 0}};
    return mesh;
}

inline threeds::MaterialDesc namedMaterial(const std::string& name) {
    threeds::MaterialDesc material;
    material.name = name;
    return material;
}

inline threeds::LightDesc namedLight(const std::string& name) {
    threeds::LightDesc light;
    light.name = name;
    return light;
}

inline void expectVec(const D3DVECTOR& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

}  // namespace quorvel::testing
