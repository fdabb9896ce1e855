// What the shell's source files share with each other and with nothing else.
#pragma once

#include "platform/win/WinTypes.h"

namespace quorvel {

inline LONG rectWidth(const RECT& r) { return r.right - r.left; }
inline LONG rectHeight(const RECT& r) { return r.bottom - r.top; }

// A new shell starts with no frames held; the counter lives with holdFrames.
void resetHoldCount();

}  // namespace quorvel
