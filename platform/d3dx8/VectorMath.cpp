// D3DX vector helpers on three-component vectors.
#include <cmath>

#include "platform/d3dx8/d3dx8math.h"

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const float length = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
    if (length == 0.0f) {
        // A zero vector has no direction; it stays zero instead of becoming NaN.
        *out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        return out;
    }
    const float inv = 1.0f / length;
    *out = D3DXVECTOR3(v->x * inv, v->y * inv, v->z * inv);
    return out;
}

D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* t1,
                             const D3DXVECTOR3* p2, const D3DXVECTOR3* t2, float s) {
    const float s2 = s * s;
    const float s3 = s2 * s;
    const float h1 = 2.0f * s3 - 3.0f * s2 + 1.0f;
    const float h2 = s3 - 2.0f * s2 + s;
    const float h3 = -2.0f * s3 + 3.0f * s2;
    const float h4 = s3 - s2;
    // Read every input before writing: out may be one of them.
    const D3DXVECTOR3 result(h1 * p1->x + h2 * t1->x + h3 * p2->x + h4 * t2->x,
                             h1 * p1->y + h2 * t1->y + h3 * p2->y + h4 * t2->y,
                             h1 * p1->z + h2 * t1->z + h3 * p2->z + h4 * t2->z);
    *out = result;
    return out;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    // The point (x, y, z, 1) times m, projected back by its w.
    const float x = v->x * m->_11 + v->y * m->_21 + v->z * m->_31 + m->_41;
    const float y = v->x * m->_12 + v->y * m->_22 + v->z * m->_32 + m->_42;
    const float z = v->x * m->_13 + v->y * m->_23 + v->z * m->_33 + m->_43;
    const float w = v->x * m->_14 + v->y * m->_24 + v->z * m->_34 + m->_44;
    const float inv = 1.0f / w;
    *out = D3DXVECTOR3(x * inv, y * inv, z * inv);
    return out;
}
