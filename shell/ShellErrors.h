// The shell's own result codes and the commands of its accelerator table.
#pragma once

#include "platform/win/WinTypes.h"

namespace quorvel {

constexpr HRESULT ErrNoDirect3D = static_cast<HRESULT>(0x82000001u);
constexpr HRESULT ErrNoCompatibleDevices = static_cast<HRESULT>(0x82000003u);
constexpr HRESULT ErrNoWindowableDevices = static_cast<HRESULT>(0x82000004u);
constexpr HRESULT ErrNonZeroRefCount = static_cast<HRESULT>(0x8200000Au);
constexpr HRESULT ErrResetFailed = static_cast<HRESULT>(0x8200000Cu);

constexpr WORD CmdClose = 40001;
constexpr WORD CmdFlipWindowMode = 40002;

// The text shown for a code, or null when the code has none.
const char* shellErrorText(HRESULT code);

}  // namespace quorvel
