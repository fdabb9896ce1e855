#include "platform/gl/DriverEnvironment.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/gl/ShaderDiskCache.h"

namespace quorvel::gl {

void applyRasterThreadSetting(long processors) {
    if (processors < 1) return;
    setenv("LP_NUM_THREADS", std::to_string(processors + 1).c_str(), 0);
}

void prepareDriverEnvironment() {
    static std::once_flag once;
    std::call_once(once, [] {
        applyShaderDiskCacheSettings();
        applyRasterThreadSetting(sysconf(_SC_NPROCESSORS_ONLN));
    });
}

}  // namespace quorvel::gl
