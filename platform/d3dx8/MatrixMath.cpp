// D3DX matrix helpers: row-major 4x4 matrices used with row vectors (v' = v * M), left-handed
// spaces, with the results Direct3D documents for each function.
#include <cmath>

#include "platform/d3dx8/d3dx8math.h"

namespace {

D3DXVECTOR3 subtract(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

D3DXVECTOR3 cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void setIdentity(D3DXMATRIX& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = r == c ? 1.0f : 0.0f;
}

}  // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    setIdentity(*out);
    return out;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    // Cofactor expansion through the 2x2 minors of the upper and lower row pairs, in double
    // precision so that well-conditioned float matrices invert to full float accuracy.
    double a[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) a[r][c] = m->m[r][c];

    const double s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    const double s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    const double s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    const double s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    const double s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    const double s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];

    const double c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    const double c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    const double c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    const double c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    const double c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    const double c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];

    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (determinant) *determinant = static_cast<float>(det);
    // A zero (or non-finite) determinant has no inverse; the caller's matrix stays as it was.
    if (det == 0.0 || !std::isfinite(det)) return nullptr;
    const double inv = 1.0 / det;

    D3DXMATRIX result;
    result.m[0][0] = static_cast<float>((a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * inv);
    result.m[0][1] = static_cast<float>((-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * inv);
    result.m[0][2] = static_cast<float>((a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * inv);
    result.m[0][3] = static_cast<float>((-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * inv);

    result.m[1][0] = static_cast<float>((-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * inv);
    result.m[1][1] = static_cast<float>((a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * inv);
    result.m[1][2] = static_cast<float>((-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * inv);
    result.m[1][3] = static_cast<float>((a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * inv);

    result.m[2][0] = static_cast<float>((a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * inv);
    result.m[2][1] = static_cast<float>((-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * inv);
    result.m[2][2] = static_cast<float>((a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * inv);
    result.m[2][3] = static_cast<float>((-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * inv);

    result.m[3][0] = static_cast<float>((-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * inv);
    result.m[3][1] = static_cast<float>((a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * inv);
    result.m[3][2] = static_cast<float>((-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * inv);
    result.m[3][3] = static_cast<float>((a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * inv);

    *out = result;
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    // Computed into a temporary: out may be a or b.
    D3DXMATRIX result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] +
                             a->m[r][2] * b->m[2][c] + a->m[r][3] * b->m[3][c];
    *out = result;
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    setIdentity(*out);
    out->_11 = sx;
    out->_22 = sy;
    out->_33 = sz;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    setIdentity(*out);
    out->_41 = x;
    out->_42 = y;
    out->_43 = z;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    setIdentity(*out);
    out->_11 = c;
    out->_12 = s;
    out->_21 = -s;
    out->_22 = c;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    setIdentity(*out);
    out->_11 = 1.0f - 2.0f * (y * y + z * z);
    out->_12 = 2.0f * (x * y + z * w);
    out->_13 = 2.0f * (x * z - y * w);
    out->_21 = 2.0f * (x * y - z * w);
    out->_22 = 1.0f - 2.0f * (x * x + z * z);
    out->_23 = 2.0f * (y * z + x * w);
    out->_31 = 2.0f * (x * z + y * w);
    out->_32 = 2.0f * (y * z - x * w);
    out->_33 = 1.0f - 2.0f * (x * x + y * y);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf) {
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float xScale = yScale / aspect;
    const float depth = zf / (zf - zn);
    for (auto& row : out->m)
        for (float& e : row) e = 0.0f;
    out->_11 = xScale;
    out->_22 = yScale;
    out->_33 = depth;
    out->_34 = 1.0f;
    out->_43 = -zn * depth;
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 zaxis = subtract(*at, *eye);
    D3DXVec3Normalize(&zaxis, &zaxis);
    D3DXVECTOR3 xaxis = cross(*up, zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    const D3DXVECTOR3 yaxis = cross(zaxis, xaxis);

    out->_11 = xaxis.x;
    out->_12 = yaxis.x;
    out->_13 = zaxis.x;
    out->_14 = 0.0f;
    out->_21 = xaxis.y;
    out->_22 = yaxis.y;
    out->_23 = zaxis.y;
    out->_24 = 0.0f;
    out->_31 = xaxis.z;
    out->_32 = yaxis.z;
    out->_33 = zaxis.z;
    out->_34 = 0.0f;
    out->_41 = -dot(xaxis, *eye);
    out->_42 = -dot(yaxis, *eye);
    out->_43 = -dot(zaxis, *eye);
    out->_44 = 1.0f;
    return out;
}
