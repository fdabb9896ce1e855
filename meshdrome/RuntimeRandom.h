// The pseudo-random generator that colours default materials. It reproduces the C runtime
// generator the show was authored with, so that default materials get the same colours on every
// platform and in every run: the plug-in never seeds it.
#pragma once

#include <cstdint>

namespace meshdrome {

// Largest value runtimeRandom() returns.
constexpr int RuntimeRandomMax = 0x7FFF;

// The next value, 0 to 32767. Process-wide state of the plug-in, like the C runtime's rand().
int runtimeRandom();

// Restarts the sequence at the given state (1 is the state before the first call), like srand().
// The plug-in itself never calls it.
void seedRuntimeRandom(std::uint32_t seed);

}  // namespace meshdrome
