// The windowed/fullscreen Direct3D framework the engine runs in. It builds the device table,
// shows the setup dialog, opens the window, creates the device, runs the message loop, renders
// frames and keeps the frame statistics, survives device loss, resizing and the window-mode
// switch, and reports fatal errors. A program derives from it and fills in the hooks (slots 2
// to 9); the shell decides when each one runs.
//
// Where the class is implemented:
//   AppShell.cpp           life cycle: construction, create, run, renderFrame and the frame
//                          statistics, cleanup, showError, requestClose; the hooks' defaults
//   AppShellDevice.cpp     the device: createDevice, resetDevice, flipWindowMode,
//                          fallBackToWindow, adjustWindowStyle, the presentation parameters
//   AppShellMessages.cpp   handleMessage (the window procedure body) and holdFrames
//   DeviceEnumeration.cpp  enumerateDevices and pickDepthStencilFormat (the device table)
// The setup dialog is in SetupDialog*.{h,cpp}, the frame timer in FrameTimer.{h,cpp}.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/win/WinMessages.h"
#include "shell/DeviceTables.h"
#include "shell/ShellErrors.h"

namespace quorvel {

class AppShell {
public:
    AppShell();
    virtual ~AppShell();
    AppShell(const AppShell&) = delete;
    AppShell& operator=(const AppShell&) = delete;

    // Virtual operations, in slot order.
    virtual HRESULT adjustWindowStyle();
    virtual HRESULT checkDevice(const D3DCAPS8& caps, DWORD behaviour, D3DFORMAT format);
    virtual HRESULT onStartup();
    virtual HRESULT onDeviceCreated();
    virtual HRESULT onDeviceReset();
    virtual HRESULT onUpdate();
    virtual HRESULT onRender();
    virtual HRESULT onDeviceLost();
    virtual HRESULT onDeviceDestroy();
    virtual HRESULT onShutdown();
    virtual HRESULT create(HINSTANCE instance);
    virtual INT run();
    virtual LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void holdFrames(bool hold);

    // Fields, in order.
    AdapterEntry adapters[kMaxAdapters];
    UINT adapterCount = 0;
    UINT currentAdapter = 0;

    BOOL windowed = FALSE;
    BOOL active = FALSE;      // the device exists and the window is not minimized
    BOOL ready = FALSE;       // frames may be rendered
    BOOL timeRunning = TRUE;  // application time runs
    BOOL stepOnce = FALSE;    // one update although time is stopped

    D3DPRESENT_PARAMETERS presentParams{};
    HWND window = nullptr;
    HWND focusWindow = nullptr;
    IDirect3D8* direct3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    D3DSURFACE_DESC backBufferDesc{};

    DWORD windowedStyle = 0;
    RECT windowRect{};
    RECT clientRect{};

    FLOAT appTime = 0.0f;
    FLOAT elapsedTime = 0.0f;
    FLOAT framesPerSecond = 0.0f;
    char frameStats[40] = {};

    const char* windowTitle = "Redeve Application";
    BOOL wantDepthBuffer = FALSE;
    DWORD depthBitsWanted = 16;
    DWORD stencilBitsWanted = 0;
    DWORD createWidth = 300;
    DWORD createHeight = 300;
    BOOL showSetupDialog = FALSE;

    // The selection the shell runs with.
    AdapterEntry& currentAdapterEntry() { return adapters[currentAdapter]; }
    DeviceEntry& currentDeviceEntry() {
        AdapterEntry& a = currentAdapterEntry();
        return a.devices[a.currentDevice];
    }
    ModeEntry& currentModeEntry() {
        DeviceEntry& d = currentDeviceEntry();
        return d.modes[d.currentMode];
    }

    // The status run() returns: 0 unless the device failed while the program ran (a reset or a
    // window-mode switch that could not be done), so that a caller can tell it from a normal end.
    INT exitStatus() const { return deviceFailed_ ? 1 : 0; }

protected:
    // Makes the Direct3D object (null on failure). Tests hand in a fake here.
    virtual IDirect3D8* createDirect3D();
    // Shows the setup dialog modally; 1 for OK, 2 for Cancel.
    virtual INT runSetupDialog();

    HRESULT enumerateDevices();
    bool pickDepthStencilFormat(UINT adapterOrdinal, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                D3DFORMAT* depthStencilFormat);
    HRESULT createDevice();
    HRESULT resetDevice();
    HRESULT renderFrame();
    HRESULT flipWindowMode();
    HRESULT fallBackToWindow();
    HRESULT cleanup();
    HRESULT showError(HRESULT code, bool fatal);

    // Ends the program as the close command does, once the loop reaches the message. Lets a
    // test or a headless program stop after a number of frames.
    void requestClose();

private:
    void fillPresentParams();
    void readBackBufferDesc();
    void updateFrameStats();
    void placeWindowAtSavedRect();

    BOOL deviceFailed_ = FALSE;  // a fatal device error ended the loop
};

}  // namespace quorvel
