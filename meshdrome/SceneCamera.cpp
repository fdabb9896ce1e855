#include "meshdrome/RenderSetup.h"
#include "scene/Scene.h"

namespace meshdrome {

namespace {
constexpr float RadiansPerDegree = 0.017453292f;
constexpr float NearPlane = 1.0f;
constexpr float FarPlane = 3000.0f;
}  // namespace

D3DXVECTOR3 cameraUp(float rollDegrees) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationZ(&rotation, rollDegrees * RadiansPerDegree);
    // The row vector (0, 1, 0) times the matrix is the matrix's second row.
    return D3DXVECTOR3(rotation._21, rotation._22, rotation._23);
}

void setCamera(IDirect3DDevice8& device, const Camera& camera) {
    D3DVIEWPORT8 viewport{};
    device.GetViewport(&viewport);
    // An empty viewport has no aspect; a square one keeps the matrix finite.
    const float aspect = viewport.Height > 0
                             ? static_cast<float>(viewport.Width) / static_cast<float>(viewport.Height)
                             : 1.0f;

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, camera.fov * RadiansPerDegree, aspect, NearPlane, FarPlane);

    // Without a target node (no keyframer data) the camera looks at the target point of the file.
    const D3DVECTOR& at = camera.target ? camera.target->position : camera.targetPosition;
    const D3DXVECTOR3 eye(camera.position.x, camera.position.y, camera.position.z);
    const D3DXVECTOR3 lookAt(at.x, at.y, at.z);
    const D3DXVECTOR3 up = cameraUp(camera.roll);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &lookAt, &up);

    device.SetTransform(D3DTS_PROJECTION, &projection);
    device.SetTransform(D3DTS_VIEW, &view);
}

}  // namespace meshdrome
