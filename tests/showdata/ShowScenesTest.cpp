// The bundled scenes as the player loads them: the cameras, lights, materials and hierarchy the
// show script and the composition rely on, and geometry that faces the way it is seen.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "ShowFiles.h"
#include "platform/win/OutputRedirection.h"
#include "scene/SceneList.h"

using namespace showtest;

namespace {

class ShowScenes : public testing::Test {
protected:
    // The reader's key diagnostics are not wanted in the test log.
    void SetUp() override {
        quorvel::platform::setDebugOutputSink([](const std::string&) {});
        SceneList::setBasePath(dataFolder());
    }
    void TearDown() override { quorvel::platform::setDebugOutputSink(nullptr); }
    SceneList scenes;
};

float dot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(const D3DVECTOR& a) { return std::sqrt(dot(a, a)); }

// Calls check(vertex) for every vertex that a face of the mesh uses.
void forEachUsedVertex(const Mesh& mesh, const std::function<void(const Vertex&)>& check) {
    for (const Face& face : mesh.faces)
        for (std::uint16_t index : face.index) check(mesh.vertices.at(index));
}

// Share of the used vertices whose normal agrees with want(vertex).
float shareFacing(const Mesh& mesh, const std::function<bool(const Vertex&)>& want) {
    int total = 0, good = 0;
    forEachUsedVertex(mesh, [&](const Vertex& v) {
        ++total;
        good += want(v) ? 1 : 0;
    });
    return total ? float(good) / float(total) : 0.0f;
}

}  // namespace

TEST_F(ShowScenes, OrreryCamerasFollowTheirTargetsWithAnimatedLenses) {
    Scene* scene = scenes.loadScene("orrery.3ds");
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->cameras.size(), 3u);
    const char* names[] = {"Camera01", "Closeup", "Top"};
    for (int i = 0; i < 3; ++i) {
        Camera* camera = scene->cameras[std::size_t(i)];
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(camera->name, names[i]);
        ASSERT_NE(camera->target, nullptr) << "no camera-target node of the camera's name";
        EXPECT_GT(camera->target->positionTrack.keyCount, 0);
        EXPECT_GT(camera->positionTrack.keyCount, 0) << "an unanimated camera is posed at the origin";
        EXPECT_GT(camera->fovTrack.keyCount, 0);
        EXPECT_GT(camera->rollTrack.keyCount, 0);
        for (int k = 0; k < camera->fovTrack.keyCount; ++k) {
            const float fov = camera->fovTrack.keys[std::size_t(k)].value;
            EXPECT_GT(fov, 20.0f);
            EXPECT_LT(fov, 100.0f);
        }
    }
    EXPECT_EQ(scene->startFrame, 0.0f);
    EXPECT_EQ(scene->endFrame, 600.0f);
}

TEST_F(ShowScenes, OrreryLightsArePlacedByKeyframesAndReachTheScene) {
    Scene* scene = scenes.loadScene("orrery.3ds");
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->lights.size(), 4u);
    int spots = 0;
    for (Light* light : scene->lights) {
        SCOPED_TRACE(light->name);
        spots += light->isSpot;
        // The player poses every root: a light without a position track would sit at the
        // origin, inside the planet.
        EXPECT_GT(light->positionTrack.keyCount, 0);
        // Light falls off as range / distance: a range of 0 would leave the light dark.
        EXPECT_GT(light->range, 40.0f);
        EXPECT_GT(light->colour.r + light->colour.g + light->colour.b, 1.0f);
    }
    EXPECT_EQ(spots, 1);
}

TEST_F(ShowScenes, OrreryMaterialsCoverEveryBlendKindAndTheirMapsExist) {
    Scene* scene = scenes.loadScene("orrery.3ds");
    ASSERT_NE(scene, nullptr);

    Material* panel = findMaterial(*scene, "Panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->textureMap, "PANEL.JPG");
    EXPECT_FALSE(std::filesystem::exists(dataFolder() + panel->textureMap))
        << "the map name should differ in case from the file, to show case-blind lookup";

    Material* rings = findMaterial(*scene, "Rings");
    ASSERT_NE(rings, nullptr);
    EXPECT_FALSE(rings->textureMap.empty());
    EXPECT_FALSE(rings->opacityMap.empty());

    // Additive blending only happens where blending is on: through transparency or a map.
    Material* halo = findMaterial(*scene, "Halo");
    ASSERT_NE(halo, nullptr);
    EXPECT_EQ(halo->additive, 1);
    EXPECT_GT(halo->transparency, 0.0f);

    Material* glass = findMaterial(*scene, "Glass");
    ASSERT_NE(glass, nullptr);
    EXPECT_NEAR(glass->transparency, 0.6f, 1e-6f);

    // The banner's texture is the script's "@loadimage logo.jpg alpha logoa.png"; a little
    // transparency turns blending on so that the alpha cuts the letters out.
    Material* logo = findMaterial(*scene, "Logo");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->textureMap, "logo.jpg");
    EXPECT_GT(logo->transparency, 0.0f);
    EXPECT_LT(logo->transparency, 0.05f);

    for (Material* m : scene->materials) {
        if (!m->textureMap.empty()) {
            EXPECT_TRUE(dataFileExists(m->textureMap)) << m->textureMap;
        }
        if (!m->opacityMap.empty()) {
            EXPECT_TRUE(dataFileExists(m->opacityMap)) << m->opacityMap;
        }
    }
}

TEST_F(ShowScenes, OrreryArmsTurnAboutTheSpindleAndCarryTheMoons) {
    Scene* scene = scenes.loadScene("orrery.3ds");
    ASSERT_NE(scene, nullptr);
    SceneNode* spindle = findNode(*scene, "Spindle");
    ASSERT_NE(spindle, nullptr);
    EXPECT_EQ(spindle->parent, nullptr);
    auto parentName = [&](const char* name) {
        SceneNode* node = findNode(*scene, name);
        return node && node->parent ? node->parent->name : std::string("(none)");
    };
    EXPECT_EQ(parentName("Core"), "Spindle");
    EXPECT_EQ(parentName("Halo"), "Core");
    EXPECT_EQ(parentName("Rings"), "Spindle");
    EXPECT_EQ(parentName("Arm1"), "Spindle");
    EXPECT_EQ(parentName("Moon1"), "Arm1");
    EXPECT_EQ(parentName("Pebble"), "Moon1");
    EXPECT_EQ(parentName("Arm2"), "Spindle");
    EXPECT_EQ(parentName("Moon2"), "Arm2");
    EXPECT_EQ(parentName("Ice"), "Moon2");

    // The arm's pivot puts its inner end (with the collar) at the node's origin, so the
    // arm's rotation swings it about the spindle: 2 units of collar behind, 42 ahead.
    Mesh* arm = findMesh(*scene, "Arm1");
    ASSERT_NE(arm, nullptr);
    float lo = 1e9f, hi = -1e9f;
    for (const Vertex& v : arm->vertices) {
        lo = std::min(lo, v.position.x);
        hi = std::max(hi, v.position.x);
    }
    EXPECT_NEAR(lo, -2.0f, 1e-3f);
    EXPECT_NEAR(hi, 42.0f, 1e-3f);
    EXPECT_GT(arm->rotationTrack.keyCount, 1);
}

TEST_F(ShowScenes, SurfacesFaceWhereTheyAreSeenFrom) {
    // The player culls faces seen from behind; the normals come from the same winding, so a
    // wrong winding shows as normals pointing the wrong way.
    Scene* orrery = scenes.loadScene("orrery.3ds");
    Scene* tunnel = scenes.loadScene("tunnel.3ds");
    ASSERT_NE(orrery, nullptr);
    ASSERT_NE(tunnel, nullptr);
    for (const char* name : {"Core", "Halo", "Moon1", "Moon2", "Pebble"}) {
        Mesh* mesh = findMesh(*orrery, name);
        ASSERT_NE(mesh, nullptr) << name;
        EXPECT_EQ(shareFacing(*mesh, [](const Vertex& v) { return dot(v.normal, v.position) > 0.0f; }), 1.0f)
            << name << " should face outwards";
    }
    // Engine space is Y-up: the platform faces up, the banner faces the opening camera (-Z).
    Mesh* floor = findMesh(*orrery, "Floor");
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(shareFacing(*floor, [](const Vertex& v) { return v.normal.y > 0.99f; }), 1.0f);
    Mesh* banner = findMesh(*orrery, "Banner");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(shareFacing(*banner, [](const Vertex& v) { return v.normal.z < -0.99f; }), 1.0f);

    // The tunnel runs along +Z and is seen from inside.
    Mesh* tube = findMesh(*tunnel, "Tube");
    ASSERT_NE(tube, nullptr);
    EXPECT_EQ(shareFacing(*tube, [](const Vertex& v) {
                  return v.normal.x * v.position.x + v.normal.y * v.position.y < 0.0f;
              }),
              1.0f);
}

TEST_F(ShowScenes, TunnelHasItsFlightCameraLampsAndGlowingGrid) {
    Scene* scene = scenes.loadScene("tunnel.3ds");
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->cameras.size(), 1u);
    Camera* flight = scene->cameras[0];
    EXPECT_EQ(flight->name, "Flight");
    ASSERT_NE(flight->target, nullptr);
    EXPECT_GT(flight->positionTrack.keyCount, 1);
    EXPECT_GT(flight->fovTrack.keyCount, 0);
    EXPECT_GT(flight->rollTrack.keyCount, 0);
    EXPECT_EQ(scene->endFrame, 300.0f);

    ASSERT_EQ(scene->lights.size(), 2u);
    for (Light* lamp : scene->lights) {
        EXPECT_GT(lamp->positionTrack.keyCount, 1) << lamp->name << " travels with the camera";
        EXPECT_GT(lamp->range, 20.0f);
    }

    // The grid: colour from the material, shape from the opacity map alone, added on top.
    Material* neon = findMaterial(*scene, "Neon");
    ASSERT_NE(neon, nullptr);
    EXPECT_TRUE(neon->textureMap.empty());
    EXPECT_EQ(neon->opacityMap, "grida.png");
    EXPECT_TRUE(dataFileExists(neon->opacityMap));
    EXPECT_EQ(neon->additive, 1);

    int gems = 0;
    for (Mesh* mesh : scene->meshes) gems += mesh->name.rfind("Gem", 0) == 0 ? 1 : 0;
    EXPECT_EQ(gems, 8);
}

TEST_F(ShowScenes, EveryFaceIsDrawnWithASceneMaterialAndLit) {
    for (const char* name : {"orrery.3ds", "tunnel.3ds"}) {
        SCOPED_TRACE(name);
        Scene* scene = scenes.loadScene(name);
        ASSERT_NE(scene, nullptr);
        for (Mesh* mesh : scene->meshes) {
            SCOPED_TRACE(mesh->name);
            ASSERT_FALSE(mesh->faceGroups.empty());
            std::size_t grouped = 0;
            for (FaceGroup* group : mesh->faceGroups) {
                // An index outside the list would give the group a random default colour.
                EXPECT_GE(group->materialIndex, 0);
                EXPECT_LT(group->materialIndex, std::int32_t(scene->materials.size()));
                grouped += group->faces.size();
            }
            EXPECT_EQ(grouped, mesh->faces.size());
            for (const Face& face : mesh->faces) ASSERT_TRUE(faceInRange(face, mesh->vertices.size()));
            // A zero normal (faces cancelling out at a shared vertex) would light as black.
            forEachUsedVertex(*mesh, [](const Vertex& v) { EXPECT_NEAR(length(v.normal), 1.0f, 1e-3f); });
        }
    }
}
