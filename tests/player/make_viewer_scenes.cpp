// Writes the 3D Studio files the viewer's end-to-end test opens, shaped like files other programs
// write: make_viewer_scenes DIR
//   DIR/several.3ds  three meshes (one textured through an upper-case map name "PLANET.JPG",
//                    one half transparent), no camera, no light, no keyframer section
//   DIR/cameras.3ds  one box and two cameras looking at it from opposite sides, no keyframer
#include <cstdio>
#include <string>

#include "tools/3dswriter/ThreeDSWriter.h"

namespace {

using threeds::Vec3;

// A box between the corners lo and hi, with its own four vertices per side (flat normals). Each
// side is wound counter-clockwise seen from outside, as modelling programs write them.
threeds::MeshDesc box(const std::string& name, Vec3 lo, Vec3 hi, const std::string& material) {
    threeds::MeshDesc mesh;
    mesh.name = name;
    const Vec3 c{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    const Vec3 h{(hi.x - lo.x) / 2, (hi.y - lo.y) / 2, (hi.z - lo.z) / 2};
    // Per side: the outward axis and two in-plane axes u, v with u x v pointing outward.
    const Vec3 X{h.x, 0, 0}, Y{0, h.y, 0}, Z{0, 0, h.z};
    const Vec3 minus[3] = {{-h.x, 0, 0}, {0, -h.y, 0}, {0, 0, -h.z}};
    const Vec3 sides[6][3] = {{X, Y, Z}, {minus[0], Z, Y}, {Y, Z, X},
                              {minus[1], X, Z}, {Z, X, Y}, {minus[2], Y, X}};
    threeds::MaterialGroupDesc group{material, {}};
    for (const auto& side : sides) {
        const Vec3 n = side[0], u = side[1], v = side[2];
        const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& k : corners) {
            mesh.vertices.push_back({c.x + n.x + k[0] * u.x + k[1] * v.x, c.y + n.y + k[0] * u.y + k[1] * v.y,
                                     c.z + n.z + k[0] * u.z + k[1] * v.z});
            mesh.uvs.push_back({(k[0] + 1) / 2, (k[1] + 1) / 2});
        }
        for (const auto& tri : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
            group.faces.push_back(static_cast<std::int16_t>(mesh.faces.size()));
            mesh.faces.push_back({static_cast<std::uint16_t>(base + tri[0]), static_cast<std::uint16_t>(base + tri[1]),
                                  static_cast<std::uint16_t>(base + tri[2]), 0});
        }
    }
    mesh.groups.push_back(group);
    return mesh;
}

threeds::MaterialDesc material(const std::string& name, float r, float g, float b) {
    threeds::MaterialDesc m;
    m.name = name;
    m.ambient = threeds::Colour{r * 0.5f, g * 0.5f, b * 0.5f};
    m.diffuse = threeds::Colour{r, g, b};
    m.specular = threeds::Colour{0.2f, 0.2f, 0.2f};
    return m;
}

bool save(const std::string& path, const threeds::SceneDesc& scene) {
    if (threeds::saveFile(path, threeds::buildScene(scene))) return true;
    std::fprintf(stderr, "make_viewer_scenes: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_viewer_scenes DIR\n");
        return 2;
    }
    const std::string dir = argv[1];

    threeds::SceneDesc several;
    threeds::MaterialDesc textured = material("Textured", 1.0f, 1.0f, 1.0f);
    textured.textureMap = "PLANET.JPG";
    threeds::MaterialDesc glass = material("Glass", 0.2f, 0.6f, 1.0f);
    glass.transparency = 0.5f;
    several.materials = {textured, material("Red", 0.9f, 0.1f, 0.1f), glass};
    // File coordinates: x right, y away from the viewer, z up; tens of units, as modellers use.
    several.meshes = {box("Planet", {-60, -10, 0}, {-20, 30, 40}, "Textured"),
                      box("Block", {-10, -10, 0}, {20, 20, 60}, "Red"),
                      box("Pane", {30, -20, 0}, {70, 0, 30}, "Glass")};

    threeds::SceneDesc cameras;
    cameras.materials = {material("Red", 0.9f, 0.1f, 0.1f)};
    cameras.meshes = {box("Block", {-10, -10, -10}, {10, 10, 10}, "Red")};
    cameras.cameras = {threeds::CameraDesc{"Near", {0, -40, 0}, {0, 0, 0}},
                       threeds::CameraDesc{"Far", {0, 80, 40}, {0, 0, 0}}};

    return save(dir + "/several.3ds", several) && save(dir + "/cameras.3ds", cameras) ? 0 : 1;
}
