// The engine's device and frame hooks: device objects, per-frame scheduling and drawing, device
// loss and the final clean-up. Every hook is safe after a start-up that stopped half-way.
#include <cstdio>

#include "engine/DemoEngine.h"
#include "engine/LayerOperations.h"
#include "font/OverlayFont.h"

HRESULT DemoEngine::onDeviceCreated() {
    images.SetDevice(device);
    if (font) {
        HRESULT hr = font->createTexture(device);
        if (FAILED(hr)) return hr;
    }
    HRESULT hr = loadImages();
    if (FAILED(hr)) return hr;
    hr = initAllEffects();
    if (FAILED(hr)) return hr;
    startMusic();
    return S_OK;
}

HRESULT DemoEngine::initAllEffects() {
    services.device = device;
    services.images = &images;
    services.scenes = &scenes;
    for (int i = 0; i < LayerCount; ++i) {
        int slot = 0;
        const HRESULT hr = initEffects(layers[i], &services, &slot);
        if (FAILED(hr)) {
            reportInitFailure(i, slot, hr);
            return hr;
        }
    }
    return S_OK;
}

HRESULT DemoEngine::onDeviceReset() {
    if (font) {
        HRESULT hr = font->createBuffers();
        if (FAILED(hr)) return hr;
    }
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    return S_OK;
}

HRESULT DemoEngine::onUpdate() {
    demoTime = playbackTime();
    followJumps();
    // The viewer's scene is posed by the effect's Update, which a layer's first live frame skips.
    const bool scenePosed = layers[0].active;
    for (Layer& layer : layers) advance(layer, &services, demoTime);
    if (viewer.isOpen()) viewer.aim(scenePosed && layers[0].active);
    return S_OK;
}

HRESULT DemoEngine::onRender() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, backgroundColour, 1.0f, 0);
    if (SUCCEEDED(device->BeginScene())) {
        for (Layer& layer : layers) {
            if (layer.active) draw(layer, &services);
        }
        if (showStats && font) {
            char totalTime[100];
            std::snprintf(totalTime, sizeof(totalTime), "Total time: %f", static_cast<double>(demoTime));
            font->drawString(2, 0, 0xFFFFFFFF, frameStats, 0);
            font->drawString(2, 14, 0xFFFFFFFF, totalTime, 0);
        }
        drawOverlays();
        device->EndScene();
    }
    // Past the end time the frame fails: the shell then closes the window, ending the show.
    return static_cast<float>(demoEnd) < demoTime ? E_FAIL : S_OK;
}

HRESULT DemoEngine::onDeviceLost() {
    for (Layer& layer : layers) {
        if (layer.active) deactivate(layer);
    }
    if (font) font->releaseBuffers();
    return S_OK;
}

HRESULT DemoEngine::onDeviceDestroy() {
    for (Layer& layer : layers) deleteEffectDeviceObjects(layer);
    images.ReleaseImages();
    images.ReleaseDirect3D();
    if (font) font->releaseTexture();
    music.Stop();
    return S_OK;
}

HRESULT DemoEngine::onShutdown() {
    for (Layer& layer : layers) cleanUpEffects(layer);
    scenes.destroyAll();
    effectHost.FreePlugins();
    if (font) {
        font->release();
        delete font;
        font = nullptr;
    }
    music.Close();
    return S_OK;
}
