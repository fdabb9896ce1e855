#include "tools/maketextures/Noise.h"

#include <cmath>

namespace quorvel {

float latticeValue(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u ^ std::uint32_t(x) * 0x85EBCA6Bu ^ std::uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) / 16777216.0f;
}

float valueNoise(float x, float y, int periodX, int periodY, std::uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3.0f - 2.0f * tx), sy = ty * ty * (3.0f - 2.0f * ty);
    auto wrap = [](int v, int period) { return ((v % period) + period) % period; };
    const int x0 = wrap(int(fx), periodX), x1 = wrap(int(fx) + 1, periodX);
    const int y0 = wrap(int(fy), periodY), y1 = wrap(int(fy) + 1, periodY);
    const float a = latticeValue(x0, y0, seed), b = latticeValue(x1, y0, seed);
    const float c = latticeValue(x0, y1, seed), d = latticeValue(x1, y1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float fractalNoise(float u, float v, int periodX, int periodY, int octaves, std::uint32_t seed) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        const int px = periodX << o, py = periodY << o;
        sum += weight * valueNoise(u * float(px), v * float(py), px, py, seed + std::uint32_t(o) * 7919u);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

}  // namespace quorvel
