// The length of a full mipmap chain, what a level count of 0 asks texture creation for: each
// level halves both sides (a side stops at 1) until the level is 1 x 1.
#pragma once

#include <algorithm>

#include "platform/win/WinTypes.h"

namespace quorvel {

inline UINT fullMipChainLength(UINT width, UINT height) {
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++levels;
    }
    return levels;
}

}  // namespace quorvel
