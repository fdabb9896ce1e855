// A small program on the application shell: it shows the setup dialog, opens the window and
// draws a turning, colour-cycling triangle fan through the real device, so the shell's window,
// keys, dialog and window-mode switch can be tried by hand and driven end to end.
//
//   shelldemo [--no-dialog] [--frames N] [--step SECONDS]
//     --no-dialog   start with the default device and mode, without the setup dialog
//     --frames N    close after N rendered frames
//     --step S      drive time with a manual clock that moves S seconds per frame
// It prints one line per life-cycle event on stdout ("startup", "device created", "frame 1", ...)
// so a driving script can follow it. The exit code is the message loop's.
#include "platform/time/ManualClock.h"
#include "shell/AppShell.h"
#include "shell/FrameTimer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct Vertex {
    float x, y, z, rhw;
    DWORD colour;
};
constexpr DWORD kVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

class ShellDemo final : public quorvel::AppShell {
public:
    ShellDemo(bool dialog, long frameLimit, quorvel::platform::ManualClock* clock, double step)
        : frameLimit_(frameLimit), clock_(clock), step_(step) {
        windowTitle = "Quorvel Shell Demo";
        createWidth = 640;
        createHeight = 480;
        wantDepthBuffer = TRUE;
        showSetupDialog = dialog ? TRUE : FALSE;
    }

    HRESULT onStartup() override { return say("startup"); }
    HRESULT onDeviceCreated() override { return say("device created"); }
    HRESULT onDeviceReset() override {
        std::printf("device reset %ux%u %s\n", backBufferDesc.Width, backBufferDesc.Height,
                    windowed ? "windowed" : "fullscreen");
        std::fflush(stdout);
        return S_OK;
    }
    HRESULT onDeviceLost() override { return say("device lost"); }
    HRESULT onDeviceDestroy() override { return say("device destroyed"); }
    HRESULT onShutdown() override { return say("shutdown"); }

    HRESULT onRender() override {
        const float t = appTime;
        const auto channel = [](float v) { return static_cast<unsigned>(127.5f + 127.5f * v); };
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                      D3DCOLOR_XRGB(channel(std::sin(t * 0.7f)) / 3, 30, channel(std::cos(t * 0.5f)) / 2), 1.0f, 0);
        if (SUCCEEDED(device->BeginScene())) {
            drawFan(t);
            device->EndScene();
        }
        ++frames_;
        if (frames_ == 1 || frames_ % 100 == 0) {
            std::printf("frame %ld %s\n", frames_, frameStats);
            std::fflush(stdout);
        }
        if (frameLimit_ > 0 && frames_ == frameLimit_) requestClose();
        if (clock_) clock_->advance(step_);
        return S_OK;
    }

private:
    void drawFan(float t) {
        constexpr int kSpokes = 7;
        Vertex fan[kSpokes * 2 + 2];
        const float cx = backBufferDesc.Width * 0.5f, cy = backBufferDesc.Height * 0.5f;
        const float radius = 0.4f * static_cast<float>(std::min(backBufferDesc.Width, backBufferDesc.Height));
        fan[0] = {cx, cy, 0.5f, 1.0f, D3DCOLOR_XRGB(255, 255, 255)};
        for (int i = 0; i <= kSpokes * 2; ++i) {
            const float angle = t + static_cast<float>(i) * 3.14159265f / kSpokes;
            const float r = (i % 2 == 0) ? radius : radius * 0.45f;
            const DWORD colour = (i % 2 == 0) ? D3DCOLOR_XRGB(255, 140 + (i * 8) % 100, 40)
                                              : D3DCOLOR_XRGB(60, 80, 255);
            fan[i + 1] = {cx + r * std::cos(angle), cy + r * std::sin(angle), 0.5f, 1.0f, colour};
        }
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetTexture(0, nullptr);
        device->SetVertexShader(kVertexFormat);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, kSpokes * 2, fan, sizeof(Vertex));
    }

    HRESULT say(const char* what) {
        std::printf("%s\n", what);
        std::fflush(stdout);
        return S_OK;
    }

    long frames_ = 0;
    long frameLimit_;
    quorvel::platform::ManualClock* clock_;
    double step_;
};

}  // namespace

int main(int argc, char** argv) {
    bool dialog = true;
    long frames = 0;
    double step = 0.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-dialog") == 0) {
            dialog = false;
        } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            frames = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--step") == 0 && i + 1 < argc) {
            step = std::strtod(argv[++i], nullptr);
        } else {
            std::fprintf(stderr, "usage: %s [--no-dialog] [--frames N] [--step SECONDS]\n", argv[0]);
            return 2;
        }
    }

    std::unique_ptr<quorvel::platform::ManualClock> clock;
    if (step > 0.0) {
        clock = std::make_unique<quorvel::platform::ManualClock>();
        quorvel::useFrameTimerClock(clock.get());
    }

    auto demo = std::make_unique<ShellDemo>(dialog, frames, clock.get(), step);
    if (FAILED(demo->create(nullptr))) {
        std::printf("not started\n");
        return 0;
    }
    std::printf("running\n");
    std::fflush(stdout);
    return demo->run();
}
