// The tunnel: a grid tube along +Y flown through in 300 frames (ten seconds at 30 frames per
// second). The camera covers 2000 units per loop and everything in the tunnel repeats every
// 2000 units, so the jump back to frame 0 cannot be seen.
#include <cmath>

#include "tools/makescenes/Keys.h"
#include "tools/makescenes/MeshBuilder.h"
#include "tools/makescenes/Scenes.h"

namespace quorvel {

namespace {

constexpr std::uint32_t kFrames = 300;
constexpr float kLoopLength = 2000.0f;
constexpr float kRadius = 170.0f;

// A solid material with a white highlight.
MaterialDesc shiny(const char* name, Colour diffuse, Colour ambient, float shininess, float strength) {
    MaterialDesc m;
    m.name = name;
    m.diffuse = diffuse;
    m.ambient = ambient;
    m.specular = Colour{1.0f, 1.0f, 1.0f};
    m.shininess = shininess;
    m.shininessStrength = strength;
    return m;
}

std::vector<MaterialDesc> materials() {
    // Glowing grid lines: only an opacity map, so the colour is the lit material colour and the
    // map decides where it shows; added to the picture behind.
    MaterialDesc neon;
    neon.name = "Neon";
    neon.diffuse = Colour{0.25f, 0.9f, 1.0f};
    neon.ambient = Colour{0.25f, 0.9f, 1.0f};
    neon.specular = Colour{0.0f, 0.0f, 0.0f};
    neon.opacityMap = "grida.png";
    neon.additive = true;

    const MaterialDesc chrome = shiny("Chrome", {0.62f, 0.66f, 0.75f}, {0.3f, 0.32f, 0.4f}, 0.7f, 1.0f);
    const MaterialDesc gem = shiny("Gem", {1.0f, 0.4f, 0.85f}, {0.6f, 0.2f, 0.5f}, 0.85f, 0.9f);
    return {neon, chrome, gem};
}

}  // namespace

threeds::SceneDesc tunnelScene() {
    threeds::SceneDesc scene;
    scene.materials = materials();
    scene.frames = std::array<std::int32_t, 2>{0, static_cast<std::int32_t>(kFrames)};

    {
        // Twelve grid cells around and one per 100 units along, so the pattern at the loop's end
        // matches its start.
        MeshBuilder tube;
        tube.tubeInside(kRadius, -400.0f, 4400.0f, 24, 24, 12.0f, 48.0f);
        scene.meshes.push_back(tube.build("Tube", "Neon", {0, 0, 0}));
        scene.nodes.push_back(placedNode(NodeKind::Object, 0, "Tube", still({0, 0, 0})));
    }
    {
        // A hoop every 400 units, facing the oncoming camera.
        MeshBuilder hoops;
        for (int i = 0; i <= 10; ++i) {
            const std::size_t first = hoops.vertexCount();
            hoops.annulus(148.0f, kRadius + 4.0f, 20, false);
            const float y = 400.0f * float(i);
            hoops.transform([y](Vec3 p) { return rotateX(p, 0.5f * kPi) + Vec3{0, y, 0}; }, first);
        }
        scene.meshes.push_back(hoops.build("Hoops", "Chrome", {0, 0, 0}));
        scene.nodes.push_back(placedNode(NodeKind::Object, 1, "Hoops", still({0, 0, 0})));
    }
    // Crystals: four per loop length, repeated one loop ahead so the view ahead is the same
    // when the camera jumps back.
    for (int i = 0; i < 8; ++i) {
        const float angle = float(i) * 0.5f * kPi + 0.25f * kPi;
        const Vec3 at{105.0f * std::cos(angle), 500.0f * float(i % 4) + 250.0f + kLoopLength * float(i / 4),
                      105.0f * std::sin(angle)};
        MeshBuilder crystal;
        crystal.crystal({0, 0, 0}, 28.0f, 50.0f);
        const std::string name = "Gem" + std::to_string(i + 1);
        scene.meshes.push_back(crystal.build(name, "Gem", at));
        NodeDesc n = placedNode(NodeKind::Object, static_cast<std::int16_t>(10 + i), name, still(at));
        n.rotation = spin({0, 0, 1}, 0.0f, (i % 2) ? 1.0f : -1.0f, kFrames, 8);
        scene.nodes.push_back(n);
    }

    // Two lamps travel with the camera: a cyan one just behind it, lighting the hoops' faces as
    // they come, and a magenta one far ahead.
    auto ahead = [](float distance) {
        return sampledPath(kFrames, 1, [distance](float t) { return Vec3{0, kLoopLength * t + distance, 0}; }, kTrackClamp);
    };
    scene.lights.push_back({"Lamp1", {0, -120.0f, 0}, Colour{0.45f, 0.9f, 1.0f}, 500.0f, 1200.0f, 1.0f, {}});
    scene.lights.push_back({"Lamp2", {0, 1000.0f, 0}, Colour{1.0f, 0.3f, 0.8f}, 500.0f, 1400.0f, 1.0f, {}});
    scene.nodes.push_back(placedNode(NodeKind::Light, 30, "Lamp1", ahead(-120.0f)));
    scene.nodes.push_back(placedNode(NodeKind::Light, 31, "Lamp2", ahead(1000.0f)));

    // The camera weaves gently and rolls one whole turn per loop.
    auto flight = [](float t) {
        return Vec3{30.0f * std::sin(t * 4.0f * kPi), kLoopLength * t, 30.0f * std::cos(t * 2.0f * kPi) - 30.0f};
    };
    scene.cameras.push_back({"Flight", flight(0.0f), {0, 600.0f, 0}, 0.0f, 35.0f});
    NodeDesc camera = placedNode(NodeKind::Camera, 40, "Flight", sampledPath(kFrames, 20, flight, kTrackClamp));
    camera.fov = sampledScalar(kFrames, 8, [](float t) { return 75.0f + 10.0f * std::sin(t * 2.0f * kPi); }, kTrackRepeat);
    camera.roll = sampledScalar(kFrames, 1, [](float t) { return 360.0f * t; }, kTrackClamp);
    scene.nodes.push_back(camera);
    scene.nodes.push_back(placedNode(NodeKind::CameraTarget, 41, "Flight", ahead(600.0f)));
    return scene;
}

}  // namespace quorvel
