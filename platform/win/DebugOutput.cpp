// The debugger output channel: each call is one unchanged write to stderr.
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/win/TestSinks.h"
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

}  // namespace quorvel::platform

void OutputDebugStringA(const char* text) {
    if (!text) return;
    quorvel::platform::DebugOutputSink sink;
    {
        std::lock_guard<std::mutex> guard(state().lock);
        sink = state().sink;
    }
    if (sink) {
        sink(text);
        return;
    }
    std::fwrite(text, 1, std::strlen(text), stderr);
}
