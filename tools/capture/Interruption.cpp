#include "Interruption.h"

#include <csignal>

namespace quorvel::capture {

namespace {
// The one thing a signal handler may safely touch; process-wide because signals are.
volatile std::sig_atomic_t interruptionFlag = 0;

void noteInterruption(int) { interruptionFlag = 1; }
}  // namespace

void catchInterruptions() {
    struct sigaction action {};
    action.sa_handler = noteInterruption;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool interruptionRequested() { return interruptionFlag != 0; }

}  // namespace quorvel::capture
