// Redirection of the two report channels, message boxes and debug output. Tests record what the
// system reports through these hooks; headless programs (the capture tool, the checker) keep
// message boxes on stderr. The hooks are process-wide, like the channels they stand in for;
// passing null restores the normal behaviour.
#pragma once

#include <functional>
#include <string>

namespace quorvel::platform {

using MessageBoxSink = std::function<void(const std::string& caption, const std::string& text)>;
using DebugOutputSink = std::function<void(const std::string& text)>;

void setMessageBoxSink(MessageBoxSink sink);
void setDebugOutputSink(DebugOutputSink sink);

// When set, message boxes are only printed to stderr, never shown (headless programs, and a
// player while it reloads a show). It holds for the plug-ins' boxes too.
void setMessageBoxesHeadless(bool headless);
bool messageBoxesHeadless();

// True when QUORVEL_DEBUG asks for the debug output channel on stderr: set, non-empty, not "0".
bool debugOutputEnabled();

}  // namespace quorvel::platform
