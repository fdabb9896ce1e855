#include "platform/text/FontConfigurationPreload.h"

#include <system_error>

#include <fontconfig/fontconfig.h>

namespace quorvel::text {

FontConfigurationPreload::FontConfigurationPreload() {
    try {
        reader_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: the first lookup reads the configuration as usual.
    }
}

FontConfigurationPreload::~FontConfigurationPreload() {
    if (reader_.joinable()) reader_.join();
}

}  // namespace quorvel::text
