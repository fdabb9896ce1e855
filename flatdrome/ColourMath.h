// A8R8G8B8 colours as the effects compute them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvel::flat {

// The colour with its alpha multiplied by factor (kept within 0..1).
inline std::uint32_t withAlpha(std::uint32_t colour, float factor) {
    const float alpha = static_cast<float>(colour >> 24) * std::clamp(factor, 0.0f, 1.0f);
    return (colour & 0x00FFFFFFu) | (static_cast<std::uint32_t>(std::lround(alpha)) << 24);
}

}  // namespace quorvel::flat
