// Quaternion arithmetic of the keyframe animation. Every operation builds its result in a local
// before returning, so callers may pass the same object as input and output.
#include "anim/Quat.h"

#include <cmath>

#include "anim/AnimConstants.h"

Quat quatFromAxisAngle(float angle, float ax, float ay, float az) {
    // The axis is taken as given; rotation keys store unnormalised axes on purpose.
    const float h = angle * 0.5f;
    const float s = std::sin(h);
    return {s * ax, s * ay, s * az, std::cos(h)};
}

Quat quatMul(const Quat& a, const Quat& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z,
            a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quat quatExp(const Quat& v) {
    const float theta = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    const float s = std::sin(theta);
    const float w = std::cos(theta);
    if (std::fabs(s) < quorvel::kSlerpThreshold) return {v.x, v.y, v.z, w};
    const float f = s / theta;
    return {v.x * f, v.y * f, v.z * f, w};
}

// The small operations are defined once here and used directly by normalize and slerp: the
// library is position-independent, so calls through the public names could not be inlined.
namespace {

Quat scale(float s, const Quat& q) { return {s * q.x, s * q.y, s * q.z, s * q.w}; }
Quat add(const Quat& a, const Quat& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
float dot(const Quat& a, const Quat& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

Quat normalize(const Quat& q) {
    float length = std::sqrt(dot(q, q));
    if (length == 0.0f) length = 1.0f;
    return scale(1.0f / length, q);
}

}  // namespace

Quat quatScale(float s, const Quat& q) { return scale(s, q); }

Quat quatAdd(const Quat& a, const Quat& b) { return add(a, b); }

float quatDot(const Quat& a, const Quat& b) { return dot(a, b); }

Quat quatNormalize(const Quat& q) { return normalize(q); }

Quat quatSlerp(const Quat& a, const Quat& b, float t) {
    // No hemisphere test: keys are joined along the arc their signs give, which is what lets
    // the rotation routines spin the long way round on purpose.
    const float cosTheta = dot(a, b);
    float wa = 1.0f - t;
    float wb = t;
    if (cosTheta >= -1.0f && cosTheta <= 1.0f) {
        const float theta = std::acos(cosTheta);
        if (!(theta < quorvel::kSlerpThreshold)) {
            // sin(acos c) = sqrt(1 - c^2), taken in double so that small angles keep their digits;
            // at c = -1 exactly that is 0, and the sine of the float angle (not quite 0) is used.
            // sin((1 - t) theta) = sin theta cos(t theta) - cos theta sin(t theta), so one sine and
            // cosine pair of the same angle gives both weights.
            const double c = cosTheta;
            const double sinSquared = 1.0 - c * c;
            const float sinTheta = sinSquared > 0.0 ? static_cast<float>(std::sqrt(sinSquared)) : std::sin(theta);
            const float sinT = std::sin(t * theta);
            const float cosT = std::cos(t * theta);
            wb = sinT / sinTheta;
            wa = cosT - cosTheta * wb;
        }
    }
    return normalize(add(scale(wa, a), scale(wb, b)));
}
