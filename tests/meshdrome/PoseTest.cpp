// Update: the animation frame from the event's seconds, and posing of the node hierarchy.
#include <cmath>

#include "MeshdromeTesting.h"
#include "meshdrome/ScenePose.h"
#include "support/TrackKeys.h"

using namespace quorvel::testing;

namespace {

threeds::TrackDesc track(std::vector<threeds::KeyDesc> keys) {
    threeds::TrackDesc desc;
    desc.keys = std::move(keys);
    return desc;
}

D3DXVECTOR3 transform(const D3DXMATRIX& m, float x, float y, float z) {
    const D3DXVECTOR3 in(x, y, z);
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &in, &m);
    return out;
}

void expectVector(const D3DVECTOR& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
}

// A parent moving from (0,0,0) to (10,0,0) over frames 0..100, a child 5 above it, and a
// grandchild 1 further along x; endFrame 100.
struct Hierarchy {
    Scene scene;
    Mesh* parent = new Mesh("parent");
    Mesh* child = new Mesh("child");
    Mesh* grandchild = new Mesh("grandchild");

    Hierarchy() {
        scene.meshes = {parent, child, grandchild};
        scene.roots = {parent};
        scene.endFrame = 100.0f;
        link(parent, child);
        link(child, grandchild);
        fillTrack(parent->positionTrack, {vectorKey(0, 0, 0, 0), vectorKey(100, 10, 0, 0)});
        fillTrack(child->positionTrack, {vectorKey(0, 0, 5, 0)});
        fillTrack(grandchild->positionTrack, {vectorKey(0, 1, 0, 0)});
    }
    static void link(SceneNode* p, SceneNode* c) {
        c->parent = p;
        p->children.push_back(c);
    }
};

}  // namespace

TEST(ScenePose, ChildrenCombineWithTheirParentsPoseOfTheSameFrame) {
    std::vector<SceneNode*> pending;
    Hierarchy h;
    meshdrome::poseScene(h.scene, 50.0f, pending);
    expectVector(h.parent->position, 5, 0, 0);
    expectVector(h.child->position, 5, 5, 0);
    expectVector(h.grandchild->position, 6, 5, 0);

    // A second frame moves the whole chain: nothing lags one frame behind.
    meshdrome::poseScene(h.scene, 20.0f, pending);
    expectVector(h.parent->position, 2, 0, 0);
    expectVector(h.child->position, 2, 5, 0);
    expectVector(h.grandchild->position, 3, 5, 0);
}

TEST(ScenePose, ScaleThenRotationThenTranslation) {
    std::vector<SceneNode*> pending;
    Scene scene;
    Mesh* node = new Mesh("node");
    scene.meshes = {node};
    scene.roots = {node};
    // A rotation key about the stored first axis: it turns about the scene's y axis, because the
    // first two quaternion components are exchanged.
    RotationKey rotation{};
    rotation.angle = static_cast<float>(M_PI / 2);
    rotation.axis[0] = 1.0f;
    node->rotationTrack.addKey(rotation);
    node->rotationTrack.prepare();
    fillTrack(node->scaleTrack, {vectorKey(0, 2, 2, 2)});
    fillTrack(node->positionTrack, {vectorKey(0, 0, 0, 5)});

    meshdrome::poseScene(scene, 0.0f, pending);
    // (1,0,0) scaled to (2,0,0), turned a quarter about y to (0,0,-2), moved to (0,0,3).
    const D3DXVECTOR3 p = transform(node->world, 1, 0, 0);
    expectVector(p, 0, 0, 3);
    // (0,1,0) lies on the rotation axis: only scaled and moved.
    expectVector(transform(node->world, 0, 1, 0), 0, 2, 5);
    expectVector(node->position, 0, 0, 5);
}

TEST(ScenePose, NodesWithoutTracksAreIdentityUnderTheirParent) {
    std::vector<SceneNode*> pending;
    Hierarchy h;
    h.child->positionTrack = VectorTrack{};
    meshdrome::poseScene(h.scene, 100.0f, pending);
    expectVector(h.child->position, 10, 0, 0);
    expectVector(h.grandchild->position, 11, 0, 0);
}

TEST(ScenePose, FrameFromSecondsWrapsAtTheSceneLength) {
    EXPECT_FLOAT_EQ(meshdrome::sceneFrame(4.0f, 30.0f, 100.0f), 20.0f);
    EXPECT_FLOAT_EQ(meshdrome::sceneFrame(1.0f, 30.0f, 100.0f), 30.0f);
    EXPECT_FLOAT_EQ(meshdrome::sceneFrame(10.0f, 10.0f, 100.0f), 0.0f);
    EXPECT_FLOAT_EQ(meshdrome::sceneFrame(9.0f, 0.0f, 100.0f), 0.0f);
    // No animation length, or a time with no finite frame: frame 0, never NaN.
    EXPECT_EQ(meshdrome::sceneFrame(3.0f, 30.0f, 0.0f), 0.0f);
    EXPECT_EQ(meshdrome::sceneFrame(3.0f, INFINITY, 100.0f), 0.0f);
}

TEST(ScenePose, UpdatePosesTheSceneAtTheWrappedFrame) {
    Hierarchy h;
    EffectPtr effect = parsedEffect("time 0.000000 { fps 30 }");
    effect->scene = &h.scene;
    EXPECT_EQ(effect->Update(4.0f), 0);
    EXPECT_FLOAT_EQ(effect->frame, 20.0f);
    expectVector(h.child->position, 2, 5, 0);

    EffectPtr still = parsedEffect("time 0.000000 { fps 0 }");
    still->scene = &h.scene;
    EXPECT_EQ(still->Update(7.5f), 0);
    EXPECT_EQ(still->frame, 0.0f);
    expectVector(h.parent->position, 0, 0, 0);
}

TEST(ScenePose, CameraFovAndRollFollowTheirTracksOrStay) {
    Scene scene;
    Camera* animated = new Camera("animated");
    Camera* still = new Camera("still");
    still->fov = 50.0f;
    still->roll = 12.0f;
    scene.cameras = {animated, still};
    scene.roots = {animated, still};
    scene.endFrame = 100.0f;
    fillTrack(animated->fovTrack, {scalarKey(0.0f, 40.0f), scalarKey(100.0f, 80.0f)});
    fillTrack(animated->rollTrack, {scalarKey(0.0f, -30.0f)});

    EffectPtr effect = parsedEffect("time 0.000000 { fps 10 }");
    effect->scene = &scene;
    EXPECT_EQ(effect->Update(2.5f), 0);  // frame 25
    EXPECT_NEAR(animated->fov, 50.0f, 1e-4f);
    EXPECT_NEAR(animated->roll, -30.0f, 1e-6f);
    EXPECT_EQ(still->fov, 50.0f);
    EXPECT_EQ(still->roll, 12.0f);
}

TEST(ScenePose, SceneWithoutKeyframerDataStaysAtFrameZero) {
    threeds::SceneDesc desc;
    desc.meshes = {mesh("A", 3)};
    desc.cameras = {camera("Cam", {0, -50, 10}, {0, 0, 0})};
    SceneFolder folder;
    Scene* scene = folder.load("static.3ds", desc);
    ASSERT_EQ(scene->endFrame, 0.0f);
    const float fov = scene->cameras[0]->fov;

    EffectPtr effect = parsedEffect("time 0.000000 { file static.3ds }");
    effect->scene = scene;
    EXPECT_EQ(effect->Update(3.0f), 0);
    EXPECT_EQ(effect->frame, 0.0f);
    EXPECT_EQ(scene->cameras[0]->fov, fov);
    EXPECT_EQ(scene->cameras[0]->roll, 0.0f);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_FALSE(std::isnan(scene->meshes[0]->world.m[r][c]));
}

TEST(ScenePose, HierarchyFromAFileIsPosedThroughTheReadTracks) {
    threeds::SceneDesc desc;
    desc.meshes = {mesh("Base", 3), mesh("Arm", 3)};
    desc.cameras = {camera("Cam")};
    desc.frames = std::array<std::int32_t, 2>{0, 60};
    threeds::NodeDesc base;
    base.id = 0;
    base.name = "Base";
    base.position = track({{0, 0, {}, {0, 0, 0}}, {60, 0, {}, {60, 0, 0}}});
    threeds::NodeDesc arm;
    arm.id = 1;
    arm.name = "Arm";
    arm.parent = 0;
    arm.position = track({{0, 0, {}, {0, 0, 20}}});  // file z is the scene's y
    desc.nodes = {base, arm};
    SceneFolder folder;
    Scene* scene = folder.load("arm.3ds", desc);
    ASSERT_EQ(scene->endFrame, 60.0f);

    EffectPtr effect = parsedEffect("time 0.000000 { file arm.3ds fps 30 }");
    effect->scene = scene;
    effect->Update(1.0f);  // frame 30: halfway
    expectVector(scene->meshes[0]->position, 3, 0, 0);
    expectVector(scene->meshes[1]->position, 3, 2, 0);
}
