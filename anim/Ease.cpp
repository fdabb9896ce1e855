#include "anim/Ease.h"

float ease(float s, float a, float b) {
    const float sum = a + b;
    if (sum == 0.0f) return s;
    // Ease parts that together exceed the segment are shrunk in proportion to fill it exactly.
    if (sum > 1.0f) {
        a /= sum;
        b /= sum;
    }
    // k is the constant speed of the middle part, chosen so that the curve ends at 1.
    const float k = 1.0f / (2.0f - a - b);
    if (s < a) return (k / a) * s * s;
    if (s < 1.0f - b) return k * (2.0f * s - a);
    if (b == 0.0f) return 1.0f;  // reached only at s = 1 when there is no deceleration part
    const float r = 1.0f - s;
    return 1.0f - (k / b) * r * r;
}
