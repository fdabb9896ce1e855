#include "shell/ShellErrors.h"

#include "platform/d3d8/d3d8.h"

namespace quorvel {

// The texts keep their Windows wording and line breaks ("This sample", "DirectX", the double
// space) on purpose: they are the messages users and tests know.
const char* shellErrorText(HRESULT code) {
    switch (code) {
    case ErrNoDirect3D:
        return "Could not initialize Direct3D. You may\nwant to check that the latest version of\n"
               "DirectX is correctly installed on your\nsystem.  Also make sure that this program\n"
               "was compiled with header files that match\nthe installed DirectX DLLs.";
    case ErrNoCompatibleDevices:
        return "Could not find any compatible Direct3D\ndevices.";
    case ErrNoWindowableDevices:
        return "This sample cannot run in a desktop\nwindow with the current display settings.\n"
               "Please change your desktop settings to a\n16- or 32-bit display mode and re-run this\n"
               "sample.";
    case ErrNonZeroRefCount:
        return "A D3D object has a non-zero reference\ncount (meaning things were not properly\n"
               "cleaned up).";
    case ErrResetFailed:
        return "Could not reset the Direct3D device.";
    case E_OUTOFMEMORY:
        return "Not enough memory.";
    case D3DERR_OUTOFVIDEOMEMORY:
        return "Not enough video memory.";
    default:
        return nullptr;
    }
}

}  // namespace quorvel
