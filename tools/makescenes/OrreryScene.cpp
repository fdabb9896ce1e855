// The orrery: the show's main scene. All lengths are in file units (the player scales them by
// 0.1); the animation runs 600 frames, twenty seconds at 30 frames per second, and every track
// repeats seamlessly over that span.
#include <cmath>
#include <optional>

#include "tools/makescenes/Keys.h"
#include "tools/makescenes/MeshBuilder.h"
#include "tools/makescenes/Scenes.h"

namespace quorvel {

namespace {

constexpr std::uint32_t kFrames = 600;
constexpr float kFloorZ = -250.0f;

// How one material differs from the common look: a white highlight, shininess 0.3 at strength
// 0.2, ambient colour a share of the diffuse one, no maps, opaque.
struct Look {
    const char* name;
    Colour diffuse;
    float ambientShare;
    float shininess = 0.3f;
    float strength = 0.2f;
    const char* textureMap = "";
    const char* opacityMap = "";
    std::optional<float> transparency = std::nullopt;
    bool additive = false;
    Colour specular{1.0f, 1.0f, 1.0f};
};

const Look kLooks[] = {
    // The platform: the material names its map in upper case, as 3D Studio on DOS wrote it;
    // the file on disk is panel.jpg and the loader finds it regardless of case.
    {.name = "Panel", .diffuse = {0.85f, 0.85f, 0.9f}, .ambientShare = 0.5f, .shininess = 0.25f,
     .strength = 0.35f, .textureMap = "PANEL.JPG"},
    {.name = "Planet", .diffuse = {0.9f, 0.9f, 0.9f}, .ambientShare = 0.4f, .shininess = 0.4f,
     .strength = 0.15f, .textureMap = "planet.jpg"},
    // Glow around the planet: added to what is behind it, at 30 per cent strength.
    {.name = "Halo", .diffuse = {0.25f, 0.5f, 1.0f}, .ambientShare = 0.8f, .strength = 0.0f,
     .transparency = 0.7f, .additive = true},
    // Ring bands: colour from ring.png, see-through gaps from the opacity map ringa.png.
    {.name = "Rings", .diffuse = {1.0f, 0.95f, 0.9f}, .ambientShare = 0.6f, .strength = 0.0f,
     .textureMap = "ring.png", .opacityMap = "ringa.png"},
    {.name = "Brass", .diffuse = {0.78f, 0.58f, 0.24f}, .ambientShare = 0.4f, .shininess = 0.6f,
     .strength = 0.9f, .specular = {1.0f, 0.9f, 0.6f}},
    {.name = "Moon", .diffuse = {0.95f, 0.93f, 0.9f}, .ambientShare = 0.4f, .strength = 0.05f,
     .textureMap = "moon.jpg"},
    // Glass: 60 per cent transparent, with a strong highlight.
    {.name = "Glass", .diffuse = {0.55f, 0.85f, 1.0f}, .ambientShare = 0.5f, .shininess = 0.8f,
     .strength = 1.0f, .transparency = 0.6f},
    {.name = "Crystal", .diffuse = {1.0f, 0.3f, 0.7f}, .ambientShare = 0.5f, .shininess = 0.7f,
     .strength = 0.8f},
    // The title: logo.jpg, which the show script loads with the alpha file logoa.png. A
    // transparency of 1 per cent switches blending on, so the letters' alpha cuts them out.
    {.name = "Logo", .diffuse = {1.0f, 1.0f, 1.0f}, .ambientShare = 0.7f, .strength = 0.0f,
     .textureMap = "logo.jpg", .transparency = 0.01f},
};

std::vector<MaterialDesc> materials() {
    std::vector<MaterialDesc> list;
    for (const Look& look : kLooks) {
        MaterialDesc m;
        m.name = look.name;
        m.diffuse = look.diffuse;
        const float share = look.ambientShare;
        m.ambient = Colour{look.diffuse.r * share, look.diffuse.g * share, look.diffuse.b * share};
        m.specular = look.specular;
        m.shininess = look.shininess;
        m.shininessStrength = look.strength;
        m.transparency = look.transparency;
        m.additive = look.additive;
        m.textureMap = look.textureMap;
        m.opacityMap = look.opacityMap;
        list.push_back(m);
    }
    return list;
}

// Vertical cylinder seen from outside, from z0 to z1.
void column(MeshBuilder& mesh, float radius, float z0, float z1, int segments) {
    auto around = [](float u) {
        const float a = u * 2.0f * kPi;
        return Vec3{std::cos(a), std::sin(a), 0.0f};
    };
    mesh.grid(
        segments, 1,
        [=](float u, float v) { return around(u) * radius + Vec3{0, 0, z0 + (z1 - z0) * v}; },
        [](float u, float v) { return std::array<float, 2>{u, v}; },
        [=](float u, float) { return around(u); });
}

// A sphere around the object's own origin, which lies at `at`.
threeds::MeshDesc ball(const char* name, const char* material, float radius, int segments, int rings, Vec3 at) {
    MeshBuilder mesh;
    mesh.sphere({0, 0, 0}, radius, segments, rings);
    return mesh.build(name, material, at);
}

NodeDesc objectNode(std::int16_t id, const char* name, std::int16_t parent, Vec3 position) {
    NodeDesc node = placedNode(NodeKind::Object, id, name, still(position));
    node.parent = parent;
    return node;
}

Vec3 circle(float radius, float angle, float z) {
    return {radius * std::cos(angle), radius * std::sin(angle), z};
}

}  // namespace

threeds::SceneDesc orreryScene() {
    threeds::SceneDesc scene;
    scene.materials = materials();
    scene.frames = std::array<std::int32_t, 2>{0, static_cast<std::int32_t>(kFrames)};
    auto& meshes = scene.meshes;
    auto& nodes = scene.nodes;

    // Round platform, panel texture tiled across it.
    {
        MeshBuilder floor;
        floor.grid(
            8, 32,
            [](float u, float v) { return circle(950.0f * u, v * 2.0f * kPi, 0.0f); },
            [](float u, float v) {
                const Vec3 p = circle(950.0f * u, v * 2.0f * kPi, 0.0f);
                return std::array<float, 2>{p.x / 240.0f, p.y / 240.0f};
            },
            [](float, float) { return Vec3{0, 0, 1}; });
        meshes.push_back(floor.build("Floor", "Panel", {0, 0, kFloorZ}));
    }
    // The spindle everything turns on, with a finial on top.
    {
        MeshBuilder spindle;
        column(spindle, 12.0f, kFloorZ, 262.0f, 16);
        spindle.sphere({0, 0, 280.0f}, 22.0f, 12, 6);
        column(spindle, 60.0f, kFloorZ, kFloorZ + 30.0f, 20);  // foot
        meshes.push_back(spindle.build("Spindle", "Brass", {0, 0, 0}));
    }
    meshes.push_back(ball("Core", "Planet", 110.0f, 28, 14, {0, 0, 0}));
    meshes.push_back(ball("Halo", "Halo", 124.0f, 20, 10, {0, 0, 0}));
    {
        MeshBuilder rings;
        rings.annulus(160.0f, 300.0f, 48, true);
        rings.transform([](Vec3 p) { return rotateX(p, 0.21f); });
        meshes.push_back(rings.build("Rings", "Rings", {0, 0, 0}));
    }
    // The arms are built along +X around their middle, where 3D Studio puts an object's
    // origin; their pivot moves the origin to the inner end, so they turn about the spindle.
    {
        MeshBuilder arm1;
        arm1.box({-210.0f, -7.0f, -6.0f}, {210.0f, 7.0f, 6.0f}, 100.0f);
        arm1.box({-230.0f, -16.0f, -14.0f}, {-190.0f, 16.0f, 14.0f}, 100.0f);  // collar
        meshes.push_back(arm1.build("Arm1", "Brass", {210.0f, 0, 170.0f}));
        MeshBuilder arm2;
        arm2.box({-320.0f, -7.0f, -6.0f}, {320.0f, 7.0f, 6.0f}, 100.0f);
        arm2.box({-340.0f, -16.0f, -14.0f}, {-300.0f, 16.0f, 14.0f}, 100.0f);
        meshes.push_back(arm2.build("Arm2", "Brass", {320.0f, 0, -150.0f}));
    }
    meshes.push_back(ball("Moon1", "Moon", 45.0f, 18, 9, {630.0f, 0, 170.0f}));
    meshes.push_back(ball("Pebble", "Moon", 14.0f, 10, 5, {710.0f, 0, 170.0f}));
    meshes.push_back(ball("Moon2", "Glass", 65.0f, 18, 9, {640.0f, 0, -150.0f}));
    {
        MeshBuilder ice;
        ice.crystal({0, 0, 0}, 30.0f, 45.0f);
        meshes.push_back(ice.build("Ice", "Crystal", {640.0f, 0, -150.0f}));
    }
    // The title banner behind the orrery, facing the opening camera.
    {
        MeshBuilder banner;
        banner.grid(
            8, 2, [](float u, float v) { return Vec3{-500.0f + 1000.0f * u, 0.0f, -125.0f + 250.0f * v}; },
            [](float u, float v) { return std::array<float, 2>{u, v}; },
            [](float, float) { return Vec3{0, -1, 0}; });
        meshes.push_back(banner.build("Banner", "Logo", {0, 950.0f, 280.0f}));
    }

    // Hierarchy: Spindle holds Core (with Halo), Rings and both arms; each arm carries a moon,
    // and the moons carry a pebble and a crystal.
    nodes.push_back(objectNode(0, "Spindle", -1, {0, 0, 0}));
    NodeDesc core = objectNode(1, "Core", 0, {0, 0, 0});
    core.rotation = spin({0, 0, 1}, 0.0f, 1.0f, kFrames, 8);
    nodes.push_back(core);
    NodeDesc halo = objectNode(2, "Halo", 1, {0, 0, 0});
    halo.scale = sampledPath(kFrames, 12, [](float t) {
        const float s = 1.0f + 0.05f * std::sin(t * 6.0f * kPi);
        return Vec3{s, s, s};
    }, kTrackLoop);
    nodes.push_back(halo);
    nodes.push_back(objectNode(3, "Rings", 0, {0, 0, 0}));

    NodeDesc arm1 = objectNode(4, "Arm1", 0, {0, 0, 170.0f});
    arm1.pivot = Vec3{-210.0f, 0, 0};
    arm1.rotation = spin({0, 0, 1}, 0.0f, 1.0f, kFrames, 8);
    nodes.push_back(arm1);
    NodeDesc moon1 = objectNode(5, "Moon1", 4, {420.0f, 0, 0});
    moon1.position = sampledPath(kFrames, 16, [](float t) {
        return Vec3{420.0f, 0.0f, 12.0f * std::sin(t * 4.0f * kPi)};
    }, kTrackLoop);
    moon1.rotation = spin({0, 0, 1}, 0.0f, 3.0f, kFrames, 24);
    nodes.push_back(moon1);
    nodes.push_back(objectNode(6, "Pebble", 5, {80.0f, 0, 0}));

    NodeDesc arm2 = objectNode(7, "Arm2", 0, {0, 0, -150.0f});
    arm2.pivot = Vec3{-320.0f, 0, 0};
    arm2.rotation = spin({0, 0, 1}, kPi, -1.0f, kFrames, 8);
    nodes.push_back(arm2);
    NodeDesc moon2 = objectNode(8, "Moon2", 7, {640.0f, 0, 0});
    moon2.rotation = spin({0, 0, 1}, 0.0f, 2.0f, kFrames, 16);
    nodes.push_back(moon2);
    NodeDesc ice = objectNode(9, "Ice", 8, {0, 0, 0});
    ice.rotation = spin({0.287348f, 0.0f, 0.957826f}, 0.0f, -4.0f, kFrames, 32);
    nodes.push_back(ice);

    nodes.push_back(objectNode(10, "Banner", -1, {0, 950.0f, 280.0f}));
    nodes.push_back(objectNode(11, "Floor", -1, {0, 0, kFloorZ}));

    // Lights: a warm key light above, two coloured lights circling in opposite directions,
    // and a spotlight from the front. The inner range is the distance at which a light has
    // full strength; it falls off with distance.
    scene.lights.push_back({"Sun", {0, -200.0f, 700.0f}, Colour{1.0f, 0.92f, 0.8f}, 640.0f, 1600.0f, 1.0f, {}});
    scene.lights.push_back({"Azure", circle(760.0f, 0.0f, 160.0f), Colour{0.3f, 0.55f, 1.0f}, 640.0f, 1400.0f, 1.0f, {}});
    scene.lights.push_back({"Ember", circle(700.0f, kPi, -60.0f), Colour{1.0f, 0.45f, 0.2f}, 600.0f, 1400.0f, 1.0f, {}});
    scene.lights.push_back({"Spot01", {600.0f, -600.0f, 700.0f}, Colour{1.0f, 1.0f, 1.0f}, 900.0f, 1800.0f, 1.0f,
                            threeds::SpotDesc{{0, 0, 0}, 30.0f, 45.0f}});

    auto lightNode = [](std::int16_t id, const char* name, threeds::TrackDesc position) {
        return placedNode(NodeKind::Light, id, name, std::move(position));
    };
    nodes.push_back(lightNode(20, "Sun", still({0, -200.0f, 700.0f})));
    nodes.push_back(lightNode(21, "Azure", sampledPath(kFrames, 12, [](float t) {
        return circle(760.0f, t * 2.0f * kPi, 160.0f + 60.0f * std::sin(t * 4.0f * kPi));
    }, kTrackLoop)));
    nodes.push_back(lightNode(22, "Ember", sampledPath(kFrames, 12, [](float t) {
        return circle(700.0f, kPi - t * 2.0f * kPi, -60.0f);
    }, kTrackLoop)));
    nodes.push_back(lightNode(23, "Spot01", still({600.0f, -600.0f, 700.0f})));
    // 3D Studio also keeps a spotlight node of its own for a spotlight.
    nodes.push_back(placedNode(NodeKind::Spotlight, 24, "Spot01", still({600.0f, -600.0f, 700.0f})));

    // Cameras: each camera node has a target node of the same name.
    auto cameraNodes = [&](std::int16_t id, const char* name, threeds::TrackDesc position,
                           threeds::TrackDesc target, threeds::TrackDesc fov, threeds::TrackDesc roll) {
        NodeDesc camera = placedNode(NodeKind::Camera, id, name, std::move(position));
        camera.fov = std::move(fov);
        camera.roll = std::move(roll);
        nodes.push_back(camera);
        nodes.push_back(placedNode(NodeKind::CameraTarget, static_cast<std::int16_t>(id + 1), name, std::move(target)));
    };

    // Camera01: one slow orbit, starting in front of the banner, rising and falling twice.
    auto orbit = [](float t) {
        const float a = -0.5f * kPi + t * 2.0f * kPi;
        return circle(1150.0f + 120.0f * std::cos(t * 4.0f * kPi), a, 430.0f + 130.0f * std::sin(t * 4.0f * kPi));
    };
    scene.cameras.push_back({"Camera01", orbit(0.0f), {0, 0, 30.0f}, 0.0f, 35.0f});
    cameraNodes(30, "Camera01", sampledPath(kFrames, 16, orbit, kTrackLoop), still({0, 0, 30.0f}),
                sampledScalar(kFrames, 8, [](float t) { return 52.0f + 8.0f * std::cos(t * 2.0f * kPi); }, kTrackRepeat),
                sampledScalar(kFrames, 8, [](float t) { return 6.0f * std::sin(t * 2.0f * kPi); }, kTrackRepeat));

    // Closeup: low and close, circling against the arms so the moons sweep past.
    auto close = [](float t) {
        return circle(560.0f, 0.5f * kPi - t * 2.0f * kPi, 80.0f + 100.0f * std::sin(t * 4.0f * kPi));
    };
    scene.cameras.push_back({"Closeup", close(0.0f), {0, 0, 40.0f}, 0.0f, 35.0f});
    cameraNodes(32, "Closeup", sampledPath(kFrames, 16, close, kTrackLoop),
                sampledPath(kFrames, 8, [](float t) { return circle(60.0f, t * 2.0f * kPi, 40.0f); }, kTrackLoop),
                sampledScalar(kFrames, 8, [](float t) { return 58.0f - 14.0f * std::sin(t * 2.0f * kPi); }, kTrackRepeat),
                sampledScalar(kFrames, 8, [](float t) { return -12.0f * std::sin(t * 2.0f * kPi); }, kTrackRepeat));

    // Top: a crane shot from above, sinking and swinging round while the lens widens.
    auto crane = [](float t) {
        return Vec3{350.0f - 700.0f * t, -650.0f - 150.0f * t, 1150.0f - 500.0f * t};
    };
    scene.cameras.push_back({"Top", crane(0.0f), {0, 0, 0.0f}, 0.0f, 35.0f});
    cameraNodes(34, "Top", sampledPath(kFrames, 4, crane, kTrackClamp), still({0, 0, 0.0f}),
                sampledScalar(kFrames, 1, [](float t) { return 44.0f + 16.0f * t; }, kTrackClamp),
                sampledScalar(kFrames, 1, [](float t) { return 25.0f * t; }, kTrackClamp));
    return scene;
}

}  // namespace quorvel
