// The "scene" effect: plays a keyframe-animated 3D Studio scene that the engine loaded, seen
// through one of its cameras. ParseParams reads its parameter blocks, Init builds the draw list
// from the scene's materials and face groups, Start and Stop create and release the device
// buffers, Update poses the scene's hierarchy and Render draws it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "meshdrome/DrawRecords.h"
#include "plugin/Effect.h"

struct Scene;
struct Camera;
struct SceneNode;

class SceneEffect final : public Effect {
public:
    SceneEffect() = default;
    SceneEffect(const SceneEffect&) = delete;
    SceneEffect& operator=(const SceneEffect&) = delete;
    // Releases buffers still held. Instances made by the class descriptor are destroyed by their
    // own Shutdown; the engine never deletes them.
    ~SceneEffect();

    HRESULT ParseParams(ScriptText* params) override;
    HRESULT Init(EngineServices* services) override;
    HRESULT Start(EngineServices* services) override;
    HRESULT Update(float secondsSinceStart) override;
    HRESULT Render(EngineServices* services) override;
    HRESULT Stop() override;
    HRESULT DestroyDeviceObjects() override;
    // The last call on an instance: it frees the instance and its draw list.
    HRESULT Shutdown() override;

    IDirect3DVertexBuffer8* vertexBuffer = nullptr;  // null outside a live interval
    IDirect3DIndexBuffer8* indexBuffer = nullptr;    // null outside a live interval
    std::string sceneName;   // "file": the scene to play
    std::string cameraName;  // "camera": falls back to the scene's first camera
    std::vector<std::unique_ptr<DrawMaterial>> materials;  // opaque first, then blended
    Scene* scene = nullptr;
    float frame = 0.0f;      // current animation frame
    Camera* camera = nullptr;
    float fps = 30.0f;       // animation frames per second
    BOOL clearDepth = FALSE; // "clearzbuffer": clear the depth buffer before drawing
    std::vector<SceneNode*> poseStack;  // posing's work list, kept so frames allocate nothing

private:
    void releaseBuffers();
    void drawParts(IDirect3DDevice8& device, const EngineServices& services);
};
