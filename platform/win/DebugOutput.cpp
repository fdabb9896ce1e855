// The debugger output channel. On Windows these lines went to an attached debugger and nobody
// saw them otherwise; here they stay silent unless QUORVEL_DEBUG asks for them, then each call
// is one unchanged write to stderr. A redirection hook (tests) receives every call regardless.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/win/OutputRedirection.h"
#include "platform/win/ReportRecording.h"
#include "platform/win/Win32.h"

namespace {

struct DebugOutputState {
    std::mutex lock;
    quorvel::platform::DebugOutputSink sink;
};

DebugOutputState& state() {
    static DebugOutputState s;
    return s;
}

}  // namespace

namespace quorvel::platform {

void setDebugOutputSink(DebugOutputSink sink) {
    std::lock_guard<std::mutex> guard(state().lock);
    state().sink = std::move(sink);
}

bool debugOutputEnabled() {
    const char* value = std::getenv("QUORVEL_DEBUG");
    return value && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

}  // namespace quorvel::platform

void OutputDebugStringA(const char* text) {
    if (!text) return;
    if (quorvel::platform::recordDebugOutput(text)) return;  // held back
    quorvel::platform::DebugOutputSink sink;
    {
        std::lock_guard<std::mutex> guard(state().lock);
        sink = state().sink;
    }
    if (sink) {
        sink(text);
        return;
    }
    if (!quorvel::platform::debugOutputEnabled()) return;
    std::fwrite(text, 1, std::strlen(text), stderr);
}
