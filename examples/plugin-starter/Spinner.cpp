// spinner: the smallest useful quorvel effect plug-in. It draws one triangle in the middle of the
// screen, turning at a steady speed, in one colour.
//
//   10 7 create spinner { colour 4294934528 speed 90 size 200 }
//   20 7 delete
//
// colour  A8R8G8B8 as a decimal number (default opaque orange)
// speed   degrees per second, clockwise (default 90)
// size    the triangle's height in a 640 x 480 screen scaled to the window (default 200)
#include <cmath>
#include <cstdint>
#include <new>
#include <string>

#include "platform/d3d8/d3d8.h"
#include "plugin/Effect.h"
#include "script/Conversions.h"
#include "script/Reports.h"
#include "script/ScriptText.h"

namespace {

struct Vertex {
    float x, y, z, rhw;  // screen pixels, already transformed
    D3DCOLOR colour;
};
constexpr DWORD VertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr float Pi = 3.14159265f;

class SpinnerEffect final : public Effect {
public:
    // Called once at start-up with the event's blocks: "time" T "{" keyword value ... "}" each.
    // Only keep copies: the text belongs to the engine. Later blocks override earlier ones.
    HRESULT ParseParams(ScriptText* params) override {
        const std::int32_t blocks = params ? params->countOf("time") : 0;
        for (std::int32_t i = 0; i < blocks; ++i) {
            const std::int32_t open = params->findMatch(i, "{");
            const std::int32_t close = params->findMatch(i, "}");
            if (open < 0 || close < open) break;
            for (std::int32_t k = open + 1; k < close; k += 2) {
                const std::string& keyword = params->token(k);
                const bool hasValue = k + 1 < close;
                const char* value = hasValue ? params->token(k + 1).c_str() : "";
                if (hasValue && keyword == "colour") {
                    colour_ = static_cast<D3DCOLOR>(decimalInteger(value));
                } else if (hasValue && keyword == "speed") {
                    speed_ = static_cast<float>(decimalReal(value));
                } else if (hasValue && keyword == "size") {
                    size_ = static_cast<float>(decimalReal(value));
                } else {
                    // The plug-in tells the user itself; the engine only sees the failure.
                    reportError("Bad params for spinner { %s }", keyword.c_str());
                    return E_FAIL;
                }
            }
        }
        return 0;
    }

    // Every time the device is created: nothing to prepare here.
    HRESULT Init(EngineServices*) override { return 0; }

    // The event becomes live, or comes back after a device reset. Default-pool objects do not
    // survive a reset, so they are made here and released in Stop.
    HRESULT Start(EngineServices* services) override {
        angle_ = 0.0f;
        return services->device->CreateVertexBuffer(3 * sizeof(Vertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                                    VertexFormat, D3DPOOL_DEFAULT, &buffer_);
    }

    HRESULT Update(float secondsSinceStart) override {
        angle_ = secondsSinceStart * speed_ * Pi / 180.0f;
        return 0;
    }

    HRESULT Render(EngineServices* services) override {
        if (buffer_ == nullptr) return 0;
        IDirect3DDevice8* device = services->device;
        D3DVIEWPORT8 viewport{};
        device->GetViewport(&viewport);
        const float cx = viewport.X + viewport.Width * 0.5f, cy = viewport.Y + viewport.Height * 0.5f;
        const float radius = size_ / 480.0f * viewport.Height * (2.0f / 3.0f);

        BYTE* data = nullptr;
        if (buffer_->Lock(0, 3 * sizeof(Vertex), &data, D3DLOCK_DISCARD) < 0) return 0;
        auto* v = reinterpret_cast<Vertex*>(data);
        for (int i = 0; i < 3; ++i) {
            const float a = angle_ + i * 2.0f * Pi / 3.0f;
            v[i] = Vertex{cx + radius * std::sin(a), cy - radius * std::cos(a), 0.0f, 1.0f, colour_};
        }
        buffer_->Unlock();

        // Over the layers below, without their depth; flat colour from the vertices.
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetTexture(0, nullptr);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device->SetVertexShader(VertexFormat);
        device->SetStreamSource(0, buffer_, sizeof(Vertex));
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
        // Effects on later layers may expect the depth test the engine starts each frame with.
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        return 0;
    }

    HRESULT Stop() override {
        if (buffer_) buffer_->Release();
        buffer_ = nullptr;
        return 0;
    }

    HRESULT DestroyDeviceObjects() override { return 0; }

    // The last call: the engine never frees an instance, so it frees itself.
    HRESULT Shutdown() override {
        Stop();
        delete this;
        return 0;
    }

private:
    IDirect3DVertexBuffer8* buffer_ = nullptr;
    D3DCOLOR colour_ = 0xFFFF8000u;
    float speed_ = 90.0f;
    float size_ = 200.0f;
    float angle_ = 0.0f;
};

class SpinnerClass final : public EffectClassDesc {
public:
    Effect* CreateEffect() override { return new (std::nothrow) SpinnerEffect(); }
    const char* ClassName() override { return "spinner"; }
};

SpinnerClass spinnerClass;

}  // namespace

// The library's one export: the engine looks it up by this name.
QUORVEL_PLUGIN_EXPORT EffectClassDesc* GetClassDesc() { return &spinnerClass; }
