// Render: the fixed render and texture stage states of a scene draw, lights, camera, then one
// state group per material and one indexed draw per face group.
#include "engine/ImageBank.h"
#include "meshdrome/RenderSetup.h"
#include "meshdrome/SceneEffect.h"
#include "plugin/TextureStages.h"
#include "scene/Scene.h"

namespace {

constexpr DWORD SceneVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr UINT SceneVertexStride = 32;

// Binds the entry's texture on stage 0 through the image bank, or no texture.
void bindImage(IDirect3DDevice8& device, const EngineServices& services, const ImageEntry* image) {
    if (services.images)
        services.images->BindTexture(0, image);
    else
        device.SetTexture(0, image ? image->texture : nullptr);
}

void setFixedStates(IDirect3DDevice8& device) {
    device.SetRenderState(D3DRS_LIGHTING, TRUE);
    device.SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device.SetVertexShader(SceneVertexFormat);
    device.SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device.SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);

    device.SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    device.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device.SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    quorvel::combineTextureWithDiffuse(
        [&device](DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
            device.SetTextureStageState(stage, type, value);
        },
        D3DTOP_MODULATE);
    device.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device.SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

}  // namespace

HRESULT SceneEffect::Render(EngineServices* services) {
    if (!services || !services->device || !scene || !camera) return 0;
    IDirect3DDevice8& device = *services->device;

    if (clearDepth) device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    setFixedStates(device);
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    bindImage(device, *services, nullptr);

    meshdrome::setLights(device, *scene);
    meshdrome::setCamera(device, *camera);
    drawParts(device, *services);

    device.SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
    return 0;
}

void SceneEffect::drawParts(IDirect3DDevice8& device, const EngineServices& services) {
    for (const auto& material : materials) {
        device.SetMaterial(&material->material);
        device.SetRenderState(D3DRS_SRCBLEND, material->srcBlend);
        device.SetRenderState(D3DRS_DESTBLEND, material->destBlend);
        device.SetRenderState(D3DRS_ALPHABLENDENABLE, material->alphaBlend);
        device.SetTextureStageState(0, D3DTSS_COLOROP, material->colorOp);
        bindImage(device, services, material->image);

        // Without both buffers (outside a live interval, or their creation failed) nothing is
        // drawn; a group without drawable faces is no draw either.
        if (!vertexBuffer || !indexBuffer) continue;
        for (const auto& part : material->parts) {
            if (part->faceCount == 0) continue;
            device.SetTransform(D3DTS_WORLD, &part->mesh->world);
            device.SetStreamSource(0, vertexBuffer, SceneVertexStride);
            device.SetIndices(indexBuffer, part->baseVertex);
            device.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, part->vertexCount, part->firstFace * 3,
                                        part->faceCount);
        }
    }
}
