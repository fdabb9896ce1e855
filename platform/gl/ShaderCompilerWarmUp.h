// Starting the GL shader compiler before the first program is needed.
#pragma once

#include <thread>

namespace quorvel::gl {

// The first shader a process compiles starts the driver's compiler; Mesa then builds its
// built-in functions and types, tens of milliseconds of work done once for as long as any
// context lives. This object compiles a tiny program in a context of its own on a thread of its
// own, so that the start-up work of the creating thread (files, plug-ins, the device) runs
// meanwhile and the device's first program finds the compiler ready. It keeps the context, and
// so the compiler's state, until it is destroyed. A driver that cannot build even this program
// says why on stderr, as it would for the device's programs.
class ShaderCompilerWarmUp {
public:
    // Takes over an SDL window and a GL context made for it; the context must be current on no
    // thread.
    ShaderCompilerWarmUp(void* window, void* context);
    // Waits for the compile, then deletes the context and the window.
    ~ShaderCompilerWarmUp();
    ShaderCompilerWarmUp(const ShaderCompilerWarmUp&) = delete;
    ShaderCompilerWarmUp& operator=(const ShaderCompilerWarmUp&) = delete;

private:
    void* window_;
    void* context_;
    std::thread compiler_;
};

}  // namespace quorvel::gl
