// What a plug-in says while the checker calls it. A plug-in carries its own copy of the message
// box code, which the checker's redirection does not reach; without a display that copy writes
// each box as one "caption: text" line to stderr. The checker catches those lines here.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorvel::check {

// Runs call with stderr caught; returns the texts of the box lines it wrote, captions removed.
std::vector<std::string> catchPluginMessages(const std::function<void()>& call);

}  // namespace quorvel::check
