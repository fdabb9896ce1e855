// Numeric constants of the keyframe animation. The angles are the single-precision values the
// animation data was authored against; the multi-turn threshold is a double, about one degree
// short of a full turn.
#pragma once

namespace quorvel {

inline constexpr float kPi = 3.1415927f;
inline constexpr float kTwoPi = 6.2831855f;
inline constexpr float kHalfPi = 1.5707964f;
// Below this angle (radians) two quaternions are blended linearly instead of spherically.
inline constexpr float kSlerpThreshold = 0.001f;
// A relative rotation larger than this needs the multi-turn evaluator.
inline constexpr double kMultiTurnAngle = 6.265732;

}  // namespace quorvel
