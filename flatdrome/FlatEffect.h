// What the three flat effects share: reading the parameter blocks, the seconds since the event
// started, the quad drawer made in Start and released in Stop, and the instance freeing itself in
// Shutdown (the engine never frees an instance).
#pragma once

#include <string>

#include "flatdrome/ParamBlocks.h"
#include "flatdrome/QuadDrawer.h"
#include "plugin/Effect.h"

namespace quorvel::flat {

class FlatEffect : public Effect {
public:
    HRESULT ParseParams(ScriptText* params) final;
    HRESULT Init(EngineServices* services) final;
    HRESULT Start(EngineServices* services) final;
    HRESULT Update(float secondsSinceStart) final;
    HRESULT Render(EngineServices* services) final;
    HRESULT Stop() final;
    HRESULT DestroyDeviceObjects() final;
    HRESULT Shutdown() final;

    float seconds() const { return seconds_; }
    bool eases() const { return ease_; }

protected:
    virtual ~FlatEffect() = default;

    virtual const char* className() const = 0;
    // One keyword of the class and its values; false for an unknown keyword or a bad value.
    virtual bool takeParam(const std::string& keyword, BlockReader& values) = 0;
    // After the device's objects are made: resolve what the parameters name.
    virtual HRESULT prepare(EngineServices& services) { (void)services; return 0; }
    // When the event becomes live, after the quad drawer exists: make per-interval resources.
    virtual HRESULT startDrawing(IDirect3DDevice8& device) { (void)device; return 0; }
    virtual void draw(IDirect3DDevice8& device, QuadDrawer& quads) = 0;
    virtual void stopDrawing() {}

private:
    QuadDrawer quads_;
    float seconds_ = 0.0f;
    bool ease_ = false;
    bool live_ = false;
};

}  // namespace quorvel::flat
