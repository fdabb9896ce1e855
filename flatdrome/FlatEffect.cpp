#include "flatdrome/FlatEffect.h"

#include "script/ScriptText.h"

namespace quorvel::flat {

HRESULT FlatEffect::ParseParams(ScriptText* params) {
    const bool ok = readParamBlocks(params, className(), [this](const std::string& keyword, BlockReader& values) {
        if (keyword == "ease") return ease_ = true;
        return takeParam(keyword, values);
    });
    return ok ? 0 : E_FAIL;
}

HRESULT FlatEffect::Init(EngineServices* services) {
    if (services == nullptr) return E_FAIL;
    return prepare(*services);
}

HRESULT FlatEffect::Start(EngineServices* services) {
    seconds_ = 0.0f;
    if (services == nullptr || services->device == nullptr) return E_FAIL;
    // A failure leaves the effect drawing nothing for this interval; Stop still tidies up.
    live_ = true;
    HRESULT result = quads_.create(services->device);
    if (result < 0) return result;
    return startDrawing(*services->device);
}

HRESULT FlatEffect::Update(float secondsSinceStart) {
    seconds_ = secondsSinceStart;
    return 0;
}

HRESULT FlatEffect::Render(EngineServices* services) {
    if (services == nullptr || services->device == nullptr || !quads_.ready()) return 0;
    draw(*services->device, quads_);
    return 0;
}

HRESULT FlatEffect::Stop() {
    if (live_) stopDrawing();
    live_ = false;
    quads_.release();
    return 0;
}

HRESULT FlatEffect::DestroyDeviceObjects() { return Stop(); }

HRESULT FlatEffect::Shutdown() {
    Stop();
    delete this;
    return 0;
}

}  // namespace quorvel::flat
