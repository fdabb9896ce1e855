#include "BenchGeometry.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

Geometry makeGeometry(int triangles, int groups) {
    Geometry g;
    const int perGroup = std::max(2, triangles / groups);
    const int quads = perGroup / 2;
    const int side = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(quads))));
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(groups))));
    for (int group = 0; group < groups; ++group) {
        Geometry::Group info{};
        info.baseVertex = static_cast<UINT>(g.vertices.size());
        info.firstIndex = static_cast<UINT>(g.indices.size());
        info.offsetX = (group % columns) / static_cast<float>(columns) * 8.0f - 4.0f;
        info.offsetY = (group / columns) / static_cast<float>(columns) * 6.0f - 3.0f;
        const int rowsOfQuads = (quads + side - 1) / side;
        for (int y = 0; y <= rowsOfQuads; ++y)
            for (int x = 0; x <= side; ++x) {
                const float fx = static_cast<float>(x) / side, fy = static_cast<float>(y) / rowsOfQuads;
                const float z = 0.1f * std::sin(fx * 6.0f) * std::cos(fy * 6.0f);
                g.vertices.push_back({fx * 8.0f / columns, fy * 6.0f / columns, z, 0.3f * std::cos(fx * 6.0f),
                                      0.2f, -1.0f, fx, fy});
            }
        int made = 0;
        for (int y = 0; y < rowsOfQuads && made < perGroup; ++y)
            for (int x = 0; x < side && made < perGroup; ++x) {
                const auto a = static_cast<std::uint16_t>(y * (side + 1) + x), b = static_cast<std::uint16_t>(a + 1),
                           c = static_cast<std::uint16_t>(a + side + 1), d = static_cast<std::uint16_t>(c + 1);
                for (std::uint16_t i : {a, c, b}) g.indices.push_back(i);
                ++made;
                if (made < perGroup) {
                    for (std::uint16_t i : {b, c, d}) g.indices.push_back(i);
                    ++made;
                }
            }
        info.vertexCount = static_cast<UINT>(g.vertices.size()) - info.baseVertex;
        info.triangles = static_cast<UINT>(made);
        g.groups.push_back(info);
    }
    return g;
}

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATRIX projection() {
    const float yScale = 1.0f / std::tan(0.5f), zn = 1.0f, zf = 100.0f;
    D3DMATRIX m{};
    m._11 = yScale / (static_cast<float>(kWidth) / kHeight);
    m._22 = yScale;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

D3DMATRIX translation(float x, float y, float z) {
    D3DMATRIX m = identity();
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

}  // namespace quorvel
