#include "tools/makescenes/MeshBuilder.h"

#include <cmath>
#include <stdexcept>

namespace quorvel {

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float length(Vec3 a) { return std::sqrt(dot(a, a)); }

Vec3 rotateX(Vec3 p, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}

Vec3 rotateZ(Vec3 p, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

std::uint16_t MeshBuilder::add(Vec3 p, float u, float v) {
    if (points_.size() >= 65535) throw std::length_error("mesh has too many vertices");
    points_.push_back(p);
    uvs_.push_back({u, v});
    return static_cast<std::uint16_t>(points_.size() - 1);
}

void MeshBuilder::face(std::uint16_t a, std::uint16_t b, std::uint16_t c, Vec3 facing) {
    // 3D Studio faces are counter-clockwise seen from their front: their normal is (b-a)x(c-a).
    const Vec3 n = cross(points_[b] - points_[a], points_[c] - points_[a]);
    if (length(n) < 1e-6f) return;  // a sliver at a pole: nothing to draw or to light
    if (dot(n, facing) < 0.0f) std::swap(b, c);
    faces_.push_back({a, b, c, 0});
}

void MeshBuilder::grid(int nu, int nv, const PointFn& point, const UvFn& uv, const PointFn& facing) {
    std::vector<std::uint16_t> index;
    for (int j = 0; j <= nv; ++j) {
        for (int i = 0; i <= nu; ++i) {
            const float u = float(i) / float(nu), v = float(j) / float(nv);
            const auto t = uv(u, v);
            index.push_back(add(point(u, v), t[0], t[1]));
        }
    }
    auto at = [&](int i, int j) { return index[std::size_t(j * (nu + 1) + i)]; };
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            const Vec3 f = facing((float(i) + 0.5f) / float(nu), (float(j) + 0.5f) / float(nv));
            face(at(i, j), at(i + 1, j), at(i, j + 1), f);
            face(at(i + 1, j), at(i + 1, j + 1), at(i, j + 1), f);
        }
    }
}

void MeshBuilder::sphere(Vec3 centre, float radius, int segments, int rings, float uRepeat,
                         bool inward) {
    auto onSphere = [=](float u, float v) {
        const float phi = u * 2.0f * kPi, theta = v * kPi;
        return Vec3{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
    };
    grid(
        segments, rings, [=](float u, float v) { return centre + onSphere(u, v) * radius; },
        [=](float u, float v) { return std::array<float, 2>{u * uRepeat, 1.0f - v}; },
        [=](float u, float v) { return onSphere(u, v) * (inward ? -1.0f : 1.0f); });
}

void MeshBuilder::annulus(float inner, float outer, int segments, bool bothSides) {
    auto point = [=](float u, float v) {
        const float r = inner + (outer - inner) * u, a = v * 2.0f * kPi;
        return Vec3{r * std::cos(a), r * std::sin(a), 0.0f};
    };
    auto uv = [](float u, float v) { return std::array<float, 2>{u, v * 8.0f}; };
    grid(1, segments, point, uv, [](float, float) { return Vec3{0, 0, 1}; });
    // The underside gets vertices of its own: shared ones would get cancelling normals.
    if (bothSides) grid(1, segments, point, uv, [](float, float) { return Vec3{0, 0, -1}; });
}

void MeshBuilder::tubeInside(float radius, float y0, float y1, int segments, int lengthSegments,
                             float uRepeat, float vRepeat) {
    auto around = [](float u) {
        const float a = u * 2.0f * kPi;
        return Vec3{std::cos(a), 0.0f, std::sin(a)};
    };
    grid(
        segments, lengthSegments,
        [=](float u, float v) { return around(u) * radius + Vec3{0.0f, y0 + (y1 - y0) * v, 0.0f}; },
        [=](float u, float v) { return std::array<float, 2>{u * uRepeat, v * vRepeat}; },
        [=](float u, float) { return around(u) * -1.0f; });
}

void MeshBuilder::box(Vec3 lo, Vec3 hi, float uvSize) {
    struct Side {
        Vec3 normal;
        int a, b;  // the two axes the side spans; the third is fixed
    };
    const Side sides[] = {{{1, 0, 0}, 1, 2},  {{-1, 0, 0}, 1, 2}, {{0, 1, 0}, 0, 2},
                          {{0, -1, 0}, 0, 2}, {{0, 0, 1}, 0, 1},  {{0, 0, -1}, 0, 1}};
    auto comp = [](Vec3& p, int axis) -> float& { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; };
    for (const Side& side : sides) {
        Vec3 l = lo, h = hi, n = side.normal;
        const int fixed = 3 - side.a - side.b;
        const float fixedValue = comp(n, fixed) > 0.0f ? comp(h, fixed) : comp(l, fixed);
        auto point = [&](float u, float v) {
            Vec3 p;
            comp(p, side.a) = comp(l, side.a) + (comp(h, side.a) - comp(l, side.a)) * u;
            comp(p, side.b) = comp(l, side.b) + (comp(h, side.b) - comp(l, side.b)) * v;
            comp(p, fixed) = fixedValue;
            return p;
        };
        auto uv = [&](float u, float v) {
            return std::array<float, 2>{u * (comp(h, side.a) - comp(l, side.a)) / uvSize,
                                        v * (comp(h, side.b) - comp(l, side.b)) / uvSize};
        };
        grid(1, 1, point, uv, [&](float, float) { return side.normal; });
    }
}

void MeshBuilder::triangle(Vec3 a, Vec3 b, Vec3 c, Vec3 towards) {
    const std::uint16_t ia = add(a, 0.0f, 0.0f), ib = add(b, 1.0f, 0.0f), ic = add(c, 0.5f, 1.0f);
    face(ia, ib, ic, towards);
}

void MeshBuilder::crystal(Vec3 centre, float radius, float height) {
    const Vec3 top = centre + Vec3{0, 0, height}, bottom = centre - Vec3{0, 0, height};
    for (int k = 0; k < 4; ++k) {
        const float a0 = float(k) * kPi * 0.5f, a1 = float(k + 1) * kPi * 0.5f;
        const Vec3 p0 = centre + Vec3{std::cos(a0), std::sin(a0), 0.0f} * radius;
        const Vec3 p1 = centre + Vec3{std::cos(a1), std::sin(a1), 0.0f} * radius;
        const Vec3 out = (p0 + p1) * 0.5f - centre;
        triangle(p0, p1, top, out + Vec3{0, 0, radius});
        triangle(p0, p1, bottom, out - Vec3{0, 0, radius});
    }
}

void MeshBuilder::transform(const std::function<Vec3(Vec3)>& f, std::size_t first) {
    for (std::size_t i = first; i < points_.size(); ++i) points_[i] = f(points_[i]);
}

threeds::MeshDesc MeshBuilder::build(const std::string& name, const std::string& material,
                                     Vec3 origin) const {
    threeds::MeshDesc mesh;
    mesh.name = name;
    for (const Vec3& p : points_) mesh.vertices.push_back(p + origin);
    mesh.uvs = uvs_;
    mesh.faces = faces_;
    mesh.localMatrix = std::array<float, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, origin.x, origin.y, origin.z};
    threeds::MaterialGroupDesc group{material, {}};
    for (std::size_t i = 0; i < faces_.size(); ++i) group.faces.push_back(static_cast<std::int16_t>(i));
    mesh.groups.push_back(group);
    return mesh;
}

}  // namespace quorvel
