// Tileable value noise: a lattice of hashed values with a period, so that textures built from it
// wrap without seams.
#pragma once

#include <cstdint>

namespace quorvel {

// A pseudo-random value in [0, 1) for a lattice point.
float latticeValue(int x, int y, std::uint32_t seed);

// Smoothly interpolated noise in [0, 1) at (x, y), repeating every periodX and periodY units.
float valueNoise(float x, float y, int periodX, int periodY, std::uint32_t seed);

// Sum of `octaves` noise layers, each of twice the frequency and half the weight of the last;
// normalised to [0, 1). The base lattice has periodX x periodY cells over u, v in [0, 1).
float fractalNoise(float u, float v, int periodX, int periodY, int octaves, std::uint32_t seed);

}  // namespace quorvel
