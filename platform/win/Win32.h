// The Win32 services the system calls, provided on Linux:
//  - MessageBoxA: an SDL2 message box where a display exists, and always one line on stderr.
//  - OutputDebugStringA: the debugger output channel: silent unless QUORVEL_DEBUG is set (not 0),
//    then written to stderr unchanged.
//  - LoadLibraryA / GetProcAddress / FreeLibrary: dlopen/dlsym/dlclose with Windows-like search.
// Tests replace the message box and the debug channel with sinks (see OutputRedirection.h).
#pragma once

#include "platform/win/WinTypes.h"

// MessageBoxA style bits the system uses.
constexpr UINT MB_OK = 0x00000000u;
constexpr UINT MB_ICONERROR = 0x00000010u;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Shows a modal message box; a null caption means the platform's default caption "Error".
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// Sends text to the debugger output channel: one write per call, text unchanged (see above).
void OutputDebugStringA(const char* text);

// Whether a key is held (high bit set) as of the last keyboard event taken. Only VK_SHIFT is
// tracked; other keys read as up.
short GetKeyState(int virtualKey);

// Dynamic libraries. A name with a folder part ('/' or '\') is used as written; a bare name is
// looked for in the program's own folder, its plug-in folders, then in the system's search order
// (never the working directory). "x.dll" that is not found is tried again as "x.so"; a name
// without extension gets ".so". The places are listed in LibrarySearch.h.
HMODULE LoadLibraryA(const char* name);
void* GetProcAddress(HMODULE module, const char* symbol);
BOOL FreeLibrary(HMODULE module);
