// Builds triangle meshes for the scene generator in file coordinates (right-handed, Z up).
// Every triangle is wound so that it faces the side its shape asks for: the scene player culls
// the other side, so a surface is seen only from where it faces.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "tools/3dswriter/ThreeDSWriter.h"

namespace quorvel {

using threeds::Vec3;

// Pi as the scenes have always been generated with; a closer value would move their bytes.
constexpr float kPi = 3.14159265f;

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);
float dot(Vec3 a, Vec3 b);
Vec3 cross(Vec3 a, Vec3 b);
float length(Vec3 a);

// Rotations of a point about the file's axes, angles in radians.
Vec3 rotateX(Vec3 p, float angle);
Vec3 rotateZ(Vec3 p, float angle);

class MeshBuilder {
public:
    using PointFn = std::function<Vec3(float u, float v)>;
    using UvFn = std::function<std::array<float, 2>(float u, float v)>;

    // A grid of nu x nv quads over the parameters u, v in [0, 1], sharing vertices so that the
    // loader's normals come out smooth. facing(u, v) points to the side that should be seen.
    void grid(int nu, int nv, const PointFn& point, const UvFn& uv, const PointFn& facing);

    // Sphere around centre, seen from outside (or from inside when inward is set); u runs
    // around the equator, v from the north pole to the south pole.
    void sphere(Vec3 centre, float radius, int segments, int rings, float uRepeat = 1.0f,
                bool inward = false);
    // Flat ring in the XY plane between two radii, facing +Z (and -Z too when bothSides);
    // u runs from the inner to the outer radius, v around.
    void annulus(float inner, float outer, int segments, bool bothSides);
    // Open tube along +Y from y0 to y1 seen from inside; u around, v along.
    void tubeInside(float radius, float y0, float y1, int segments, int lengthSegments,
                    float uRepeat, float vRepeat);
    // Axis-aligned box with flat faces, texture repeated every uvSize units.
    void box(Vec3 min, Vec3 max, float uvSize);
    // A double pyramid (octahedron) with its own vertices per face, so it looks cut.
    void crystal(Vec3 centre, float radius, float height);
    // One flat triangle facing the side of `towards`.
    void triangle(Vec3 a, Vec3 b, Vec3 c, Vec3 towards);

    // Applies f to every vertex from index `first` on (tilts and offsets of finished parts).
    void transform(const std::function<Vec3(Vec3)>& f, std::size_t first = 0);

    std::size_t vertexCount() const { return points_.size(); }

    // The mesh as written to the file: vertices placed at origin in the file's space, with a
    // local matrix whose origin is there, and every face given to one material.
    threeds::MeshDesc build(const std::string& name, const std::string& material, Vec3 origin) const;

private:
    std::uint16_t add(Vec3 p, float u, float v);
    void face(std::uint16_t a, std::uint16_t b, std::uint16_t c, Vec3 facing);

    std::vector<Vec3> points_;
    std::vector<std::array<float, 2>> uvs_;
    std::vector<threeds::FaceDesc> faces_;
};

}  // namespace quorvel
