// Finishing: hierarchy linking, pivots, normals, camera targets and light ranges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/scene/SceneTesting.h"

using namespace quorvel::testing;
using threeds::NodeDesc;
using threeds::NodeKind;
using threeds::SceneDesc;

namespace {

NodeDesc node(std::int16_t id, const std::string& name, std::int16_t parent) {
    NodeDesc n;
    n.id = id;
    n.name = name;
    n.parent = parent;
    return n;
}

std::vector<std::string> names(const std::vector<SceneNode*>& nodes) {
    std::vector<std::string> out;
    for (const SceneNode* n : nodes) out.push_back(n->name);
    return out;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(Hierarchy, WithoutKeyframerEveryNodeIsARoot) {
    SceneDesc desc;
    desc.meshes = {triangleMesh("A"), triangleMesh("B")};
    desc.lights = {namedLight("L")};
    desc.cameras = {{"C", {}, {}}};
    auto scene = load(desc);
    EXPECT_EQ(names(scene->roots), (Names{"A", "B", "L", "C"}));
    for (const SceneNode* n : scene->roots) {
        EXPECT_EQ(n->nodeId, -1);
        EXPECT_EQ(n->parentId, -1);
        EXPECT_EQ(n->parent, nullptr);
        EXPECT_TRUE(n->children.empty());
    }
    EXPECT_EQ(scene->endFrame, 0.0f);
}

TEST(Hierarchy, ChildrenInFileOrderAndOrphansLeaveTheRoots) {
    SceneDesc desc;
    desc.nodes = {node(0, "Root", -1), node(1, "Left", 0), node(2, "Right", 0),
                  node(3, "Orphan", 7), node(4, "Grandchild", 2)};
    auto scene = load(desc);
    ASSERT_EQ(names(scene->roots), (Names{"Root"}));
    SceneNode* root = scene->roots[0];
    EXPECT_EQ(names(root->children), (Names{"Left", "Right"}));
    EXPECT_EQ(root->children[0]->parent, root);
    EXPECT_EQ(names(root->children[1]->children), (Names{"Grandchild"}));
    EXPECT_EQ(root->children[1]->children[0]->parent, root->children[1]);
    // The orphan stays owned by its type list but is linked nowhere.
    ASSERT_EQ(scene->dummies.size(), 5u);
    EXPECT_EQ(scene->dummies[3]->name, "Orphan");
    EXPECT_EQ(scene->dummies[3]->parent, nullptr);
}

TEST(Hierarchy, RepeatedIdGivesItsChildrenToBothAndTheLastLinkerIsTheParent) {
    SceneDesc desc;
    desc.nodes = {node(0, "A1", -1), node(0, "A2", -1), node(1, "B", 0), node(2, "C", 1)};
    auto scene = load(desc);
    ASSERT_EQ(names(scene->roots), (Names{"A1", "A2"}));
    SceneNode* a1 = scene->roots[0];
    SceneNode* a2 = scene->roots[1];
    EXPECT_EQ(names(a1->children), (Names{"B"}));
    EXPECT_EQ(names(a2->children), (Names{"B"}));
    SceneNode* b = a1->children[0];
    EXPECT_EQ(b->parent, a2);
    // B's own children are listed once although B was reached twice.
    EXPECT_EQ(names(b->children), (Names{"C"}));
}

TEST(Hierarchy, LoopsThroughRepeatedIdsEnd) {
    SceneDesc desc;
    // X (id 5) -> Y (id 6) -> Z (id 5 again, parent 6): Z would take Y as its child again.
    desc.nodes = {node(5, "X", -1), node(6, "Y", 5), node(5, "Z", 6), node(8, "Self", 8)};
    auto scene = load(desc);
    ASSERT_EQ(names(scene->roots), (Names{"X"}));
    SceneNode* y = scene->roots[0]->children.at(0);
    ASSERT_EQ(names(y->children), (Names{"Z"}));
    SceneNode* z = y->children[0];
    EXPECT_TRUE(z->children.empty());
    EXPECT_EQ(y->parent, scene->roots[0]);
    // Every parent chain reaches a root.
    for (SceneNode* n : scene->dummies) {
        int steps = 0;
        for (SceneNode* p = n->parent; p && steps < 10; p = p->parent) ++steps;
        EXPECT_LT(steps, 10) << n->name;
    }
}

TEST(Hierarchy, LongChainLinksWithoutRecursionLimits) {
    SceneDesc desc;
    constexpr int kNodes = 5000;
    for (int i = 0; i < kNodes; ++i) {
        // Appended rather than "n" + ...: GCC 12 warns falsely (-Wrestrict) about that operator+.
        std::string name = "n";
        name += std::to_string(i);
        desc.nodes.push_back(node(static_cast<std::int16_t>(i), name, static_cast<std::int16_t>(i - 1)));
    }
    auto scene = load(desc);
    ASSERT_EQ(scene->roots.size(), 1u);
    int depth = 0;
    for (const SceneNode* n = scene->roots[0]; !n->children.empty(); n = n->children[0]) ++depth;
    EXPECT_EQ(depth, kNodes - 1);
}

TEST(Finishing, PivotMovesVerticesAndNormalsFollowTheReversedFaces) {
    SceneDesc desc;
    threeds::MeshDesc tri;
    tri.name = "Tri";
    // Engine positions (0,0,0), (1,0,0), (0,1,0) as file points (x, z, y) * 10. The file face
    // (2, 1, 0) is stored as the face (0, 1, 2).
    tri.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 0, 10}, {50, 50, 50}};
    tri.faces = {{2, 1, 0}};
    desc.meshes = {tri};
    auto scene = load(desc);
    const Mesh& m = *scene->meshes[0];
    for (int i = 0; i < 3; ++i) expectVec(m.vertices[i].normal, 0, 0, 1);
    expectVec(m.vertices[3].normal, 0, 0, 0);  // used by no face

    NodeDesc pivoted = node(0, "Tri", -1);
    pivoted.pivot = threeds::Vec3{10, 0, 0};
    desc.nodes = {pivoted};
    scene = load(desc);
    expectVec(scene->meshes[0]->vertices[0].position, -1, 0, 0);
    expectVec(scene->meshes[0]->vertices[2].position, -1, 1, 0);
    expectVec(scene->meshes[0]->vertices[0].normal, 0, 0, 1);
}

TEST(Finishing, NormalsAverageFaceNormalsUnweightedAndSkipBadIndices) {
    SceneDesc desc;
    threeds::MeshDesc m;
    m.name = "Fold";
    // Two triangles sharing the edge 0-1: a big one in the engine's xy plane and a small one in
    // the xz plane; the shared vertices get the normalised sum of the two unit normals.
    m.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 0, 100}, {0, 1, 0}};
    m.faces = {{2, 1, 0}, {0, 1, 3}, {0, 1, 9}, {0, 0, 0}};  // index 9: skipped; degenerate: zero
    desc.meshes = {m};
    auto scene = load(desc);
    const auto& v = scene->meshes[0]->vertices;
    const float s = 1.0f / std::sqrt(2.0f);
    expectVec(v[0].normal, 0, s, s);
    expectVec(v[1].normal, 0, s, s);
    expectVec(v[2].normal, 0, 0, 1);
    expectVec(v[3].normal, 0, 1, 0);
    EXPECT_EQ(scene->meshes[0]->faces.size(), 4u);  // kept; consumers check with faceInRange
    EXPECT_FALSE(faceInRange(scene->meshes[0]->faces[2], v.size()));
}

TEST(Finishing, CamerasFindTheirTargetsByNameAndTheLastWins) {
    SceneDesc desc;
    desc.cameras = {{"Cam", {}, {}}, {"Lonely", {}, {}}};
    NodeDesc t1 = node(0, "Cam", -1);
    t1.kind = NodeKind::CameraTarget;
    NodeDesc t2 = node(1, "Cam", -1);
    t2.kind = NodeKind::CameraTarget;
    NodeDesc other = node(2, "Cam.Target", -1);
    other.kind = NodeKind::CameraTarget;
    desc.nodes = {t1, t2, other};
    auto scene = load(desc);
    ASSERT_EQ(scene->cameraTargets.size(), 3u);
    EXPECT_EQ(scene->cameras[0]->target, scene->cameraTargets[1]);
    EXPECT_EQ(scene->cameras[1]->target, nullptr);
}

TEST(Finishing, LightRangesAreScaledAndRangeIsTheInnerRange) {
    SceneDesc desc;
    threeds::LightDesc light = namedLight("L");
    light.innerRange = 1000.0f;
    light.outerRange = 2000.0f;
    desc.lights = {light};
    auto scene = load(desc);
    const Light& l = *scene->lights[0];
    EXPECT_FLOAT_EQ(l.innerRange, 100.0f);
    EXPECT_FLOAT_EQ(l.outerRange, 200.0f);
    EXPECT_FLOAT_EQ(l.range, 100.0f);
}
