#include "meshdrome/RuntimeRandom.h"

namespace meshdrome {

namespace {
// Linear congruential state, starting where an unseeded C runtime starts.
std::uint32_t state = 1;
}  // namespace

int runtimeRandom() {
    state = state * 214013u + 2531011u;  // wraps modulo 2^32, as the runtime's does
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

void seedRuntimeRandom(std::uint32_t seed) { state = seed; }

}  // namespace meshdrome
