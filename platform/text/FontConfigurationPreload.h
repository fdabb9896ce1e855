// Reading the font configuration ahead of the first font lookup.
#pragma once

#include <thread>

namespace quorvel::text {

// fontconfig reads every configuration file and font cache the first time anything looks a font
// up, which takes tens of milliseconds. This object does that reading on a thread of its own
// while its creator goes on with other start-up work, and waits for it when destroyed. It reports
// nothing: if the reading fails, the first real lookup reads again and fails as it would have.
// fontconfig guards its configuration itself, so a lookup on another thread meanwhile is safe.
class FontConfigurationPreload {
public:
    FontConfigurationPreload();
    ~FontConfigurationPreload();
    FontConfigurationPreload(const FontConfigurationPreload&) = delete;
    FontConfigurationPreload& operator=(const FontConfigurationPreload&) = delete;

private:
    std::thread reader_;
};

}  // namespace quorvel::text
