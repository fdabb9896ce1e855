#include "platform/gl/ShaderDiskCache.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quorvel::gl {

namespace {

bool isSet(const char* name) { return std::getenv(name) != nullptr; }

}  // namespace

std::string shaderCacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/quorvel";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.cache/quorvel";
    return {};
}

void applyShaderDiskCacheSettings() {
    // Some builds of Mesa leave the cache off unless asked; a user's "true" stays.
    if (!isSet("MESA_SHADER_CACHE_DISABLE") && !isSet("MESA_GLSL_CACHE_DISABLE"))
        setenv("MESA_SHADER_CACHE_DISABLE", "false", 0);

    // Our own folder keeps our programs from being pushed out by other programs' shaders and can
    // be cleared alone. Mesa creates only the last level of the folder, so the rest is made here;
    // when that fails Mesa keeps its own default.
    if (isSet("MESA_SHADER_CACHE_DIR") || isSet("MESA_GLSL_CACHE_DIR")) return;
    const std::string folder = shaderCacheFolder();
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error) setenv("MESA_SHADER_CACHE_DIR", folder.c_str(), 0);
}

}  // namespace quorvel::gl
