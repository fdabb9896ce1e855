// Ctrl+C (SIGINT) and SIGTERM during a capture: instead of killing the program halfway through a
// file, they ask the capture to stop after the frame being drawn, so that it can end the
// encoder's input, remove what it had only half written and exit with status 130.
#pragma once

namespace quorvel::capture {

// Installs the handlers and ignores SIGPIPE, so that writing to an encoder that has exited
// fails with an error instead of ending the program.
void catchInterruptions();
// True once an interruption arrived.
bool interruptionRequested();

constexpr int InterruptedExitStatus = 130;  // as shells report a program ended by Ctrl+C

}  // namespace quorvel::capture
