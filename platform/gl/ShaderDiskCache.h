// Mesa's shader disk cache for our programs. Mesa can keep compiled shaders (the GLSL front end's
// results and llvmpipe's machine code) on disk between runs, which takes most of the shader work
// out of a show's first frames from its second run on. It reads its settings from the
// environment when the GL driver starts, so they are put in place before SDL loads it.
#pragma once

#include <string>

namespace quorvel::gl {

// Switches Mesa's disk cache on (MESA_SHADER_CACHE_DISABLE=false) and points it at our own folder
// (MESA_SHADER_CACHE_DIR=<XDG_CACHE_HOME or ~/.cache>/quorvel), each only where the user has set
// neither that variable nor its older MESA_GLSL_CACHE_* name. Drivers other than Mesa ignore them.
// The program calls it once, through prepareDriverEnvironment.
void applyShaderDiskCacheSettings();

// The folder the cache goes to: $XDG_CACHE_HOME/quorvel when XDG_CACHE_HOME is an absolute path,
// else $HOME/.cache/quorvel; empty when neither is known.
std::string shaderCacheFolder();

}  // namespace quorvel::gl
