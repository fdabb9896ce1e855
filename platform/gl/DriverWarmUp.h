// Starting the GL driver's compiler and code generator before the first frame needs them.
#pragma once

#include <thread>

namespace quorvel::gl {

// The first shader a process compiles starts the driver's compiler; Mesa then builds its
// built-in functions and types, tens of milliseconds of work done once for as long as any
// context lives. A software driver also starts its code generator at the first draw and copy.
// This object compiles a tiny program, draws with it and copies the picture to its window, in a
// context of its own on a thread of its own, so that the start-up work of the creating thread
// (files, plug-ins, the device) runs meanwhile and the device's first frame finds all that ready. It keeps the context, and so
// the compiler's state, until it is destroyed. A driver that cannot build even this program
// says why on stderr, as it would for the device's programs.
class DriverWarmUp {
public:
    // Takes over an SDL window and a GL context made for it; the context must be current on no
    // thread.
    DriverWarmUp(void* window, void* context);
    // Waits for the compile, then deletes the context and the window.
    ~DriverWarmUp();
    DriverWarmUp(const DriverWarmUp&) = delete;
    DriverWarmUp& operator=(const DriverWarmUp&) = delete;

private:
    void* window_;
    void* context_;
    std::thread compiler_;
};

}  // namespace quorvel::gl
