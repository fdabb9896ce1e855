// Life of a scene effect instance outside drawing: buffer release and the end of the instance.
#include "meshdrome/SceneEffect.h"

SceneEffect::~SceneEffect() { releaseBuffers(); }

void SceneEffect::releaseBuffers() {
    if (vertexBuffer) {
        vertexBuffer->Release();
        vertexBuffer = nullptr;
    }
    if (indexBuffer) {
        indexBuffer->Release();
        indexBuffer = nullptr;
    }
}

HRESULT SceneEffect::DestroyDeviceObjects() {
    // Stop normally released the buffers already; any still held belong to the device that is
    // going away.
    releaseBuffers();
    return 0;
}

HRESULT SceneEffect::Shutdown() {
    // The engine makes no call on an instance after Shutdown and never frees it: the instance
    // frees itself together with its draw list.
    delete this;
    return 0;
}
