// Replaceable destinations for message boxes and debug output, so tests and the headless capture
// program can observe them without a display. The sinks are process-wide, like the channels they
// stand in for; passing null restores the normal behaviour.
#pragma once

#include <functional>
#include <string>

namespace quorvel::platform {

using MessageBoxSink = std::function<void(const std::string& caption, const std::string& text)>;
using DebugOutputSink = std::function<void(const std::string& text)>;

void setMessageBoxSink(MessageBoxSink sink);
void setDebugOutputSink(DebugOutputSink sink);

// When set, message boxes are only printed to stderr, never shown (headless programs).
void setMessageBoxesHeadless(bool headless);

}  // namespace quorvel::platform
