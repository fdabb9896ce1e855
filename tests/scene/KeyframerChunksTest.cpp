// Keyframer nodes, their lookup by name and their tracks, with the key debug lines.
#include <gtest/gtest.h>

#include "support/CapturedReports.h"
#include "tests/scene/SceneTesting.h"

using namespace quorvel::testing;
using quorvel::ChunkId;
using threeds::KeyDesc;
using threeds::NodeDesc;
using threeds::NodeKind;
using threeds::SceneDesc;
using threeds::TrackDesc;

namespace {

TrackDesc vectorTrack(std::initializer_list<std::pair<std::uint32_t, threeds::Vec3>> keys,
                      std::uint16_t flags = 0) {
    TrackDesc track;
    track.flags = flags;
    for (const auto& [frame, v] : keys) track.keys.push_back({frame, 0, {}, {v.x, v.y, v.z}});
    return track;
}

TrackDesc scalarTrack(std::initializer_list<std::pair<std::uint32_t, float>> keys) {
    TrackDesc track;
    for (const auto& [frame, v] : keys) track.keys.push_back({frame, 0, {}, {v}});
    return track;
}

NodeDesc node(NodeKind kind, std::int16_t id, const std::string& name, std::int16_t parent = -1) {
    NodeDesc n;
    n.kind = kind;
    n.id = id;
    n.name = name;
    n.parent = parent;
    return n;
}

}  // namespace

TEST(KeyframerNodes, ObjectCameraAndLightNodesFindTheirEditorObjects) {
    SceneDesc desc;
    desc.meshes = {triangleMesh("Box")};
    desc.cameras = {{"Cam", {}, {}}};
    desc.lights = {namedLight("Lamp")};
    desc.frames = std::array<std::int32_t, 2>{5, 120};
    NodeDesc box = node(NodeKind::Object, 0, "Box");
    box.pivot = threeds::Vec3{10, 20, 30};
    box.position = vectorTrack({{0, {10, 20, 30}}, {100, {0, 0, 0}}});
    NodeDesc cam = node(NodeKind::Camera, 1, "Cam");
    cam.fov = scalarTrack({{0, 45}, {50, 60}});
    NodeDesc lampTarget = node(NodeKind::LightTarget, 3, "Lamp");
    lampTarget.scale = vectorTrack({{0, {1, 2, 3}}});
    desc.nodes = {box, cam, node(NodeKind::Light, 2, "Lamp"), lampTarget};
    auto scene = load(desc);

    EXPECT_EQ(scene->startFrame, 5.0f);
    EXPECT_EQ(scene->endFrame, 120.0f);
    EXPECT_TRUE(scene->dummies.empty());
    const Mesh& mesh = *scene->meshes[0];
    EXPECT_EQ(mesh.nodeId, 0);
    expectVec(mesh.pivot, 1, 3, 2);
    ASSERT_EQ(mesh.positionTrack.keyCount, 2);
    EXPECT_EQ(mesh.positionTrack.keys[1].frame, 100.0f);
    EXPECT_FLOAT_EQ(mesh.positionTrack.keys[0].value[1], 3.0f);
    EXPECT_FLOAT_EQ(mesh.positionTrack.keys[0].value[2], 2.0f);
    EXPECT_EQ(mesh.positionTrack.lastFrame, 100.0f);  // prepared
    EXPECT_NE(mesh.positionTrack.evaluator, nullptr);

    const Camera& camera = *scene->cameras[0];
    EXPECT_EQ(camera.nodeId, 1);
    ASSERT_EQ(camera.fovTrack.keyCount, 2);
    EXPECT_EQ(camera.fovTrack.keys[1].value, 60.0f);

    // The light target node of the light's name animates the light itself.
    const Light& lamp = *scene->lights[0];
    EXPECT_EQ(lamp.nodeId, 3);
    ASSERT_EQ(lamp.scaleTrack.keyCount, 1);
    EXPECT_EQ(lamp.scaleTrack.keys[0].value[0], 1.0f);  // unscaled, y and z exchanged
    EXPECT_EQ(lamp.scaleTrack.keys[0].value[1], 3.0f);
    EXPECT_EQ(lamp.scaleTrack.keys[0].value[2], 2.0f);
}

TEST(KeyframerNodes, UnknownNamesMakeDummiesThatInstanceNamesRename) {
    SceneDesc desc;
    NodeDesc first = node(NodeKind::Object, 0, "$$$DUMMY");
    first.instanceName = "Pivot01";
    NodeDesc second = node(NodeKind::Object, 1, "$$$DUMMY", 0);
    second.position = vectorTrack({{0, {1, 1, 1}}});
    NodeDesc byInstance = node(NodeKind::Object, 2, "Pivot01");
    byInstance.rotation = TrackDesc{0, {{0, 0, {}, {1.5f, 1, 2, 3}}}, std::nullopt};
    desc.nodes = {first, second, byInstance};
    auto scene = load(desc);

    // The first dummy no longer bears the first name, so the second header makes another one.
    ASSERT_EQ(scene->dummies.size(), 2u);
    EXPECT_EQ(scene->dummies[0]->type, NodeType::Dummy);
    EXPECT_EQ(scene->dummies[0]->name, "Pivot01");
    EXPECT_EQ(scene->dummies[1]->name, "$$$DUMMY");
    EXPECT_EQ(scene->dummies[1]->positionTrack.keyCount, 1);
    // Found under its instance name; its id follows the latest header.
    EXPECT_EQ(scene->dummies[0]->nodeId, 2);
    const RotationTrack& rot = scene->dummies[0]->rotationTrack;
    ASSERT_EQ(rot.keyCount, 1);
    EXPECT_EQ(rot.keys[0].angle, 1.5f);
    EXPECT_EQ(rot.keys[0].axis[0], 3.0f);
    EXPECT_EQ(rot.keys[0].axis[1], 1.0f);
    EXPECT_EQ(rot.keys[0].axis[2], 2.0f);
}

TEST(KeyframerNodes, InstanceNameAfterAFoundNodeRenamesTheLastDummy) {
    SceneDesc desc;
    desc.meshes = {triangleMesh("Box")};
    NodeDesc boxNode = node(NodeKind::Object, 1, "Box");
    boxNode.instanceName = "Renamed";
    desc.nodes = {node(NodeKind::Object, 0, "Helper"), boxNode};
    auto scene = load(desc);
    EXPECT_EQ(scene->meshes[0]->name, "Box");
    ASSERT_EQ(scene->dummies.size(), 1u);
    EXPECT_EQ(scene->dummies[0]->name, "Renamed");
}

TEST(KeyframerNodes, RepeatedObjectNodesAppendKeysAndPrepareAgain) {
    SceneDesc desc;
    desc.meshes = {triangleMesh("Box")};
    NodeDesc a = node(NodeKind::Object, 4, "Box");
    a.position = vectorTrack({{0, {0, 0, 0}}, {10, {10, 0, 0}}}, 3);
    NodeDesc b = node(NodeKind::Object, 7, "Box", 2);
    b.position = vectorTrack({{20, {20, 0, 0}}}, 0);
    desc.nodes = {a, b};
    auto scene = load(desc);

    const Mesh& mesh = *scene->meshes[0];
    EXPECT_EQ(mesh.nodeId, 7);
    EXPECT_EQ(mesh.parentId, 2);
    ASSERT_EQ(mesh.positionTrack.keyCount, 3);
    EXPECT_EQ(mesh.positionTrack.keys[2].frame, 20.0f);
    EXPECT_EQ(mesh.positionTrack.flags, 0);  // the later chunk's flags replace the first's
    EXPECT_EQ(mesh.positionTrack.lastFrame, 20.0f);
    EXPECT_TRUE(scene->dummies.empty());
}

TEST(KeyframerNodes, CameraTargetAndSpotlightNodesAreAlwaysNew) {
    SceneDesc desc;
    threeds::LightDesc spot = namedLight("Spot");
    spot.spot = threeds::SpotDesc{{0, 0, 0}, 10, 20};
    desc.lights = {spot};
    NodeDesc target = node(NodeKind::CameraTarget, 0, "Cam.Target");
    target.position = vectorTrack({{0, {0, 0, 50}}});
    desc.nodes = {target, node(NodeKind::CameraTarget, 1, "Cam.Target"),
                  node(NodeKind::Spotlight, 2, "Spot")};
    auto scene = load(desc);
    ASSERT_EQ(scene->cameraTargets.size(), 2u);
    EXPECT_EQ(scene->cameraTargets[0]->type, NodeType::CameraTarget);
    EXPECT_EQ(scene->cameraTargets[0]->positionTrack.keyCount, 1);
    ASSERT_EQ(scene->spotlights.size(), 1u);
    EXPECT_EQ(scene->spotlights[0]->type, NodeType::Spotlight);
    EXPECT_EQ(scene->spotlights[0]->name, "Spot");
    EXPECT_EQ(scene->lights[0]->nodeId, -1);  // the spotlight node is not the light
    EXPECT_EQ(scene->lights[0]->spotTarget, nullptr);
}

TEST(KeyframerNodes, NodeWithoutIdChunkTakesThePreviousId) {
    SceneDesc desc;
    NodeDesc noId;
    noId.name = "First";
    NodeDesc withId = node(NodeKind::Object, 9, "Second");
    NodeDesc noIdAgain;
    noIdAgain.name = "Third";
    desc.nodes = {noId, withId, noIdAgain};
    auto scene = load(desc);
    ASSERT_EQ(scene->dummies.size(), 3u);
    EXPECT_EQ(scene->dummies[0]->nodeId, -1);
    EXPECT_EQ(scene->dummies[2]->nodeId, 9);
}

TEST(KeyframerTracks, RollIsNegatedFovOnAnObjectNodeIsSkipped) {
    SceneDesc desc;
    desc.meshes = {triangleMesh("Box")};
    desc.cameras = {{"Cam", {}, {}}};
    NodeDesc box = node(NodeKind::Object, 0, "Box");
    box.fov = scalarTrack({{0, 30}});
    box.roll = scalarTrack({{0, 30}});
    box.scale = vectorTrack({{0, {2, 2, 2}}});  // after the skipped tracks, still read
    NodeDesc cam = node(NodeKind::Camera, 1, "Cam");
    cam.roll = scalarTrack({{0, 10}, {30, -2.5f}});

    quorvel::testing::CapturedReports reports;
    desc.nodes = {box, cam};
    auto scene = load(desc);
    EXPECT_EQ(scene->meshes[0]->scaleTrack.keyCount, 1);
    const Camera& camera = *scene->cameras[0];
    EXPECT_EQ(camera.fovTrack.keyCount, 0);
    ASSERT_EQ(camera.rollTrack.keyCount, 2);
    EXPECT_EQ(camera.rollTrack.keys[0].value, -10.0f);
    EXPECT_EQ(camera.rollTrack.keys[1].value, 2.5f);
    EXPECT_EQ(reports.debugLines,
              (std::vector<std::string>{"-10.000000 ROLL\n", "2.500000 ROLL\n"}));
}

TEST(KeyframerTracks, SplineFlagsAnnounceFloatsAndDebugLines) {
    SceneDesc desc;
    desc.meshes = {triangleMesh("Box")};
    NodeDesc box = node(NodeKind::Object, 0, "Box");
    TrackDesc pos;
    constexpr std::uint16_t kUnusedBit5 = 1u << 5;
    pos.keys = {
        {0, 0, {}, {0, 0, 0}},
        {10, quorvel::kSplineTension | kUnusedBit5, {0.5f, 99.0f}, {10, 20, 30}},
        {20, quorvel::kSplineContinuity | quorvel::kSplineBias | quorvel::kSplineEaseTo | quorvel::kSplineEaseFrom,
         {0.25f, -0.5f, 0.75f, 1.0f}, {0, 0, 0}},
    };
    box.position = pos;
    desc.nodes = {box};

    quorvel::testing::CapturedReports reports;
    auto scene = load(desc);
    const VectorTrack& track = scene->meshes[0]->positionTrack;
    ASSERT_EQ(track.keyCount, 3);
    const VectorKey& plain = track.keys[0];
    EXPECT_EQ(plain.tension, 0.0f);
    EXPECT_EQ(plain.easeFrom, 0.0f);
    const VectorKey& k1 = track.keys[1];
    EXPECT_EQ(k1.tension, 0.5f);
    EXPECT_EQ(k1.continuity, 0.0f);
    EXPECT_EQ(k1.bias, 0.0f);
    EXPECT_FLOAT_EQ(k1.value[0], 1.0f);  // the dropped float did not shift the value
    EXPECT_FLOAT_EQ(k1.value[1], 3.0f);
    const VectorKey& k2 = track.keys[2];
    EXPECT_EQ(k2.tension, 0.0f);
    EXPECT_EQ(k2.continuity, 0.25f);
    EXPECT_EQ(k2.bias, -0.5f);
    EXPECT_EQ(k2.easeTo, 0.75f);
    EXPECT_EQ(k2.easeFrom, 1.0f);

    const std::vector<std::string> expected = {
        "KEY:\n", "T: ",         "data 0.500000\n",  "KEY:\n", "UNKOWN: ",   "data 99.000000\n",
        "KEY:\n", "C: ",         "data 0.250000\n",  "KEY:\n", "B: ",        "data -0.500000\n",
        "KEY:\n", "EASE TO: ",   "data 0.750000\n",  "KEY:\n", "EASE FROM: ", "data 1.000000\n",
    };
    EXPECT_EQ(reports.debugLines, expected);
}

TEST(KeyframerTracks, KeysStopAtTheChunkEndWhateverTheCountSays) {
    SceneDesc desc;
    desc.meshes = {triangleMesh("Box")};
    NodeDesc box = node(NodeKind::Object, 0, "Box");
    box.position = vectorTrack({{0, {1, 1, 1}}, {5, {2, 2, 2}}});
    box.position->keyCount = 1000000;
    box.rotation = TrackDesc{};
    box.rotation->keyCount = -5;
    desc.nodes = {box};
    auto scene = load(desc);
    const Mesh& mesh = *scene->meshes[0];
    EXPECT_EQ(mesh.positionTrack.keyCount, 2);
    EXPECT_LE(mesh.positionTrack.keys.capacity(), 4u);  // no allocation for the claimed count
    EXPECT_EQ(mesh.rotationTrack.keyCount, 0);
}

TEST(KeyframerTracks, PivotAndTracksBeforeAnyNodeHeaderAreSkipped) {
    threeds::ChunkWriter out;
    out.begin(ChunkId::Main);
    out.begin(ChunkId::Keyframer);
    out.begin(ChunkId::Pivot);
    out.vec3({1, 2, 3});
    out.end();
    writeTrack(out, ChunkId::PositionTrack, vectorTrack({{0, {1, 1, 1}}}));
    NodeDesc n = node(NodeKind::Object, 0, "Later");
    writeNode(out, n);
    out.end();
    out.end();
    auto scene = load(out.take());
    ASSERT_EQ(scene->dummies.size(), 1u);
    expectVec(scene->dummies[0]->pivot, 0, 0, 0);
    EXPECT_EQ(scene->dummies[0]->positionTrack.keyCount, 0);
}
