#include "platform/window/Messages.h"

#include "platform/window/EventTranslation.h"
#include "platform/window/Window.h"

#include <SDL.h>

#include <deque>
#include <vector>

namespace quorvel::platform {
namespace {

std::deque<MSG>& queue() {
    static std::deque<MSG> q;
    return q;
}

// Moves pending SDL events into the queue until it holds something or SDL has nothing more.
// With `wait`, blocks in SDL until an event arrives that becomes at least one message.
void fillFromEvents(bool wait) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    std::vector<MSG> made;
    SDL_Event event;
    while (queue().empty()) {
        const int got = wait ? SDL_WaitEvent(&event) : SDL_PollEvent(&event);
        if (!got) return;
        made.clear();
        translateEvent(event, made);
        queue().insert(queue().end(), made.begin(), made.end());
    }
}

}  // namespace

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC procedure = GetWindowProcedure(window);
    if (!procedure) return 0;
    return procedure(window, message, wParam, lParam);
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(window)) return FALSE;
    queue().push_back({window, message, wParam, lParam});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    queue().push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

BOOL PeekMessage(MSG* message, bool remove) {
    fillFromEvents(false);
    if (queue().empty()) return FALSE;
    *message = queue().front();
    if (remove) queue().pop_front();
    return TRUE;
}

BOOL GetMessage(MSG* message) {
    while (queue().empty()) {
        if (!SDL_WasInit(SDL_INIT_VIDEO)) {
            // Nothing can ever arrive: report a quit rather than block forever.
            *message = MSG{nullptr, WM_QUIT, 0, 0};
            return FALSE;
        }
        fillFromEvents(true);
    }
    *message = queue().front();
    queue().pop_front();
    return message->message == WM_QUIT ? FALSE : TRUE;
}

LRESULT DispatchMessage(const MSG* message) {
    if (!message || message->message == WM_QUIT) return 0;
    return SendMessage(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SETCURSOR:
        ShowCursor(true);
        return 1;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        return 0;
    }
}

void ClearMessageQueue() { queue().clear(); }

}  // namespace quorvel::platform
