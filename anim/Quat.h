// Quaternions of the keyframe animation: four floats x, y, z, w (scalar part last).
#pragma once

struct Quat {
    float x, y, z, w;
};

Quat quatFromAxisAngle(float angle, float ax, float ay, float az);
Quat quatMul(const Quat& a, const Quat& b);
Quat quatExp(const Quat& v);
Quat quatScale(float s, const Quat& q);
Quat quatAdd(const Quat& a, const Quat& b);
float quatDot(const Quat& a, const Quat& b);
Quat quatNormalize(const Quat& q);
Quat quatSlerp(const Quat& a, const Quat& b, float t);
