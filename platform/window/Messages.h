// The message queue of the program's thread, as Win32 keeps one: messages posted by the program
// and messages made from SDL events, taken with PeekMessage or GetMessage and handed to the
// window procedures with DispatchMessage. SendMessage calls the procedure at once.
#pragma once

#include "platform/win/WinMessages.h"

namespace quorvel::platform {

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues WM_QUIT with the exit code in wParam.
void PostQuitMessage(int exitCode);

// Takes the next message if one is waiting (remove) or only looks at it. FALSE: none waiting.
BOOL PeekMessage(MSG* message, bool remove);
// Waits for the next message and takes it; FALSE when it is WM_QUIT.
BOOL GetMessage(MSG* message);
// Gives the message to its window's procedure; messages of windows that no longer exist are
// dropped.
LRESULT DispatchMessage(const MSG* message);
// Win32 makes character messages here; the program reads none, so nothing happens.
BOOL TranslateMessage(const MSG* message);

// The default handling of messages a procedure leaves alone: closing destroys the window, the
// cursor is set to the arrow, the system close command closes.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Drops everything queued (tests start from an empty queue).
void ClearMessageQueue();

}  // namespace quorvel::platform
