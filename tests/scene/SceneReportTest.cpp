// The 3dsinfo report: what a demo maker needs to see why a scene looks wrong.
#include <gtest/gtest.h>

#include <sstream>

#include "support/CapturedReports.h"
#include "tests/scene/SceneTesting.h"
#include "tools/3dsinfo/SceneReport.h"

using namespace quorvel::testing;

TEST(SceneReport, ShowsProblemsAndKeepsKeyDebugLinesOutOfTheReport) {
    threeds::SceneDesc desc;
    threeds::MaterialDesc wall = namedMaterial("Wall");
    wall.textureMap = "CWALL02.JPG";
    desc.materials = {wall};
    threeds::MeshDesc mesh = triangleMesh("Box");
    mesh.faces.push_back({0, 1, 9});
    mesh.groups = {{"Wall", {0}}, {"Missing", {1}}};
    desc.meshes = {mesh};
    desc.frames = std::array<std::int32_t, 2>{0, 90};
    threeds::NodeDesc box;
    box.id = 0;
    box.name = "Box";
    box.position = threeds::TrackDesc{3, {{0, 1, {0.5f}, {0, 0, 0}}, {10, 0, {}, {1, 1, 1}}, {20, 0, {}, {2, 2, 2}}}, std::nullopt};
    threeds::NodeDesc child;
    child.id = 1;
    child.name = "Helper";
    child.parent = 0;
    threeds::NodeDesc lost;
    lost.id = 2;
    lost.name = "Lost";
    lost.parent = 42;
    desc.nodes = {box, child, lost};

    quorvel::testing::CapturedReports reports;
    auto scene = load(desc);
    std::ostringstream out;
    quorvel::printSceneReport(out, *scene);
    const std::string text = out.str();

    EXPECT_NE(text.find("frames 0..90"), std::string::npos);
    EXPECT_NE(text.find("\"Box\": 3 vertices, 2 faces, 2 groups"), std::string::npos) << text;
    EXPECT_NE(text.find("1 faces name missing vertices"), std::string::npos) << text;
    EXPECT_NE(text.find("unknown material (index 1)"), std::string::npos) << text;
    EXPECT_NE(text.find("texture map \"CWALL02.JPG\""), std::string::npos) << text;
    EXPECT_NE(text.find("position track: 3 keys, frames 0..20, loop"), std::string::npos) << text;
    EXPECT_NE(text.find("  - dummy \"Helper\"  id 1, parent id 0"), std::string::npos) << text;
    EXPECT_NE(text.find("unlinked dummy \"Lost\": parent id 42 names no node"), std::string::npos) << text;
    EXPECT_EQ(text.find("KEY:"), std::string::npos);
    EXPECT_FALSE(reports.debugLines.empty());  // they went to the debug channel
}
