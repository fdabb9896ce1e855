#include "engine/SceneViewer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/Timeline.h"
#include "script/ScriptText.h"
#include "support/TempDir.h"

namespace quorvel {
namespace {

constexpr float kDegrees = 57.29578f;

Mesh* addMesh(Scene& scene, std::vector<D3DVECTOR> points) {
    auto* mesh = new Mesh("box");
    for (const D3DVECTOR& p : points) mesh->vertices.push_back(Vertex{p, {0, 0, 0}, 0, 0});
    scene.meshes.push_back(mesh);
    scene.roots.push_back(mesh);
    return mesh;
}

Camera* addCamera(Scene& scene, const std::string& name, D3DVECTOR position, int nodeId) {
    auto* camera = new Camera(name);
    camera->position = position;
    camera->nodeId = nodeId;
    scene.cameras.push_back(camera);
    scene.roots.push_back(camera);
    return camera;
}

float distance(const D3DVECTOR& a, const D3DVECTOR& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TEST(SceneViewerScript, OneSceneEventThatNeverEndsBeforeTheLoop) {
    SceneViewer viewer;
    viewer.open("my ship \"final\".3ds");
    ScriptText script;
    viewer.writeScript(script);
    auto layers = std::make_unique<Layer[]>(LayerCount);
    ASSERT_TRUE(parseTimelineTokens(script, layers.get()));

    EXPECT_STREQ(script.textAfter(0, 0, "@loadlibrary"), "meshdrome");
    EXPECT_STREQ(script.textAfter(0, 0, "@loadscene"), "my ship \"final\".3ds");
    ASSERT_EQ(layers[0].eventCount, 1);
    const LayerEvent& event = layers[0].events[0];
    EXPECT_EQ(event.className, "scene");
    EXPECT_EQ(event.startTime, 0.0f);
    EXPECT_GT(event.endTime, 1e5f);
    // The name reaches the scene effect as one token after "file".
    EXPECT_STREQ(event.params.textAfter(0, 0, "file"), "my ship \"final\".3ds");
    for (int layer = 1; layer < LayerCount; ++layer) EXPECT_EQ(layers[layer].eventCount, 0);
}

TEST(SceneViewerFraming, TheWholeSphereIsInViewFromTheFrontAndAbove) {
    const D3DVECTOR centre{3.0f, -2.0f, 7.0f};
    for (float radius : {0.0f, 0.05f, 0.5f, 4.0f, 60.0f, 900.0f}) {
        const Framing framing = frameSphere(centre, radius);
        const float d = distance(framing.eye, centre);
        EXPECT_LT(framing.eye.z, centre.z) << radius;
        EXPECT_GT(framing.eye.y, centre.y) << radius;
        EXPECT_NEAR(framing.eye.x, centre.x, 1e-4f);
        // The sphere fits the vertical field of view and lies between the near and far planes.
        EXPECT_LE(radius, d * std::sin(framing.fovDegrees / 2 / kDegrees) * 1.001f) << radius;
        EXPECT_GE(d - radius, 1.0f) << radius;
        EXPECT_LE(d + radius, 3000.0f) << radius;
        EXPECT_GT(framing.fovDegrees, 0.0f);
        EXPECT_LE(framing.fovDegrees, 90.01f);
        // Not much wider than needed: the sphere fills at least half the view's height.
        EXPECT_GE(std::max(radius, 1e-3f), 0.5f * d * std::sin(framing.fovDegrees / 2 / kDegrees)) << radius;
    }
}

TEST(SceneViewerFraming, BoundsFollowTheMeshesWorldMatrices) {
    Scene scene;
    Mesh* a = addMesh(scene, {{-1, 0, 0}, {1, 0, 0}});
    Mesh* b = addMesh(scene, {{0, -1, 0}, {0, 1, 0}});
    D3DXMatrixTranslation(&b->world, 10.0f, 0.0f, 0.0f);
    (void)a;
    D3DVECTOR centre;
    float radius = 0.0f;
    sceneBounds(scene, centre, radius);
    EXPECT_NEAR(centre.x, 4.5f, 1e-5f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-5f);
    EXPECT_NEAR(radius, std::sqrt(5.5f * 5.5f + 1.0f), 1e-4f);  // to (10, 1, 0) from (4.5, 0, 0)

    Scene empty;
    sceneBounds(empty, centre, radius);
    EXPECT_EQ(radius, 1.0f);
}

TEST(SceneViewerCamera, ASceneWithoutCamerasIsFramedOnceItIsPosed) {
    Scene scene;
    scene.endFrame = 300.0f;
    Mesh* mesh = addMesh(scene, {{-1, -1, -1}, {1, 1, 1}});
    SceneViewer viewer;
    EXPECT_FLOAT_EQ(viewer.prepare(scene), 10.0f);  // 300 frames at 30 per second

    ASSERT_EQ(scene.cameras.size(), 1u);
    const Camera* view = scene.cameras.front();
    EXPECT_EQ(view, viewer.viewCamera());
    EXPECT_EQ(std::count(scene.roots.begin(), scene.roots.end(), view), 0) << "never posed";
    EXPECT_EQ(viewer.followedCamera(), nullptr);
    EXPECT_FALSE(viewer.nextCamera());

    viewer.aim(false);  // the loaded state, before the effect's first Update
    EXPECT_NEAR(view->targetPosition.x, 0.0f, 1e-5f);
    D3DXMatrixTranslation(&mesh->world, 0.0f, 0.0f, 50.0f);
    viewer.aim(true);  // posed: framed again, and from then on left alone
    EXPECT_NEAR(view->targetPosition.z, 50.0f, 1e-4f);
    const D3DVECTOR eye = view->position;
    D3DXMatrixTranslation(&mesh->world, 0.0f, 0.0f, 90.0f);
    viewer.aim(true);
    EXPECT_EQ(view->position.z, eye.z);
    EXPECT_EQ(view->target, nullptr);
}

TEST(SceneViewerCamera, CFollowsTheFileCamerasInTurn) {
    Scene scene;
    Camera* editorOnly = addCamera(scene, "Still", {1, 2, 3}, -1);
    editorOnly->targetPosition = {0, 0, 9};
    Camera* animated = addCamera(scene, "Moving", {0, 0, 0}, 4);
    auto* target = new SceneNode(NodeType::CameraTarget, "Moving");
    scene.cameraTargets.push_back(target);
    animated->target = target;
    SceneViewer viewer;
    EXPECT_FLOAT_EQ(viewer.prepare(scene), SceneViewer::kStillSceneSeconds);
    ASSERT_EQ(scene.cameras.size(), 3u);
    const Camera* view = scene.cameras.front();

    // Posing puts a camera without a keyframer node at the origin; the viewer keeps its place.
    editorOnly->position = {0, 0, 0};
    viewer.aim(true);
    EXPECT_EQ(viewer.followedCamera(), editorOnly);
    EXPECT_EQ(view->position.z, 3.0f);
    EXPECT_EQ(view->targetPosition.z, 9.0f);
    EXPECT_EQ(view->target, nullptr);

    ASSERT_TRUE(viewer.nextCamera());
    animated->position = {5, 6, 7};
    animated->fov = 40.0f;
    animated->roll = 12.0f;
    viewer.aim(true);
    EXPECT_EQ(viewer.followedCamera(), animated);
    EXPECT_EQ(view->position.x, 5.0f);
    EXPECT_EQ(view->fov, 40.0f);
    EXPECT_EQ(view->roll, 12.0f);
    EXPECT_EQ(view->target, target);

    ASSERT_TRUE(viewer.nextCamera());
    EXPECT_EQ(viewer.followedCamera(), editorOnly);
}

TEST(SceneViewerMaps, MapsThatAreNotThereAreForgottenOthersKept) {
    testing::TempDir dir;
    dir.write("Wall.jpg", "x");
    dir.write("glass.png", "x");
    Scene scene;
    auto* wall = new Material();
    wall->textureMap = "WALL.JPG";  // found ignoring case, as on Windows
    wall->opacityMap = "GLASS.PNG";
    auto* lost = new Material();
    lost->textureMap = "BERETTA_.JPG";
    lost->opacityMap = "nothing.png";
    scene.materials = {wall, lost};

    const auto missing = SceneViewer::forgetMissingMaps(scene, dir.path() + "/");
    EXPECT_EQ(missing, (std::vector<std::string>{"BERETTA_.JPG", "nothing.png"}));
    EXPECT_EQ(wall->textureMap, "WALL.JPG");
    EXPECT_EQ(wall->opacityMap, "GLASS.PNG");
    EXPECT_EQ(lost->textureMap, "");
    EXPECT_EQ(lost->opacityMap, "");
}

}  // namespace
}  // namespace quorvel
