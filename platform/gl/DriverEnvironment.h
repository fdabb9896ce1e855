// Settings the GL driver reads from the environment when it loads, put in place before SDL loads
// it. Each is set only where the user has not set it; drivers that don't know a variable ignore it.
#pragma once

namespace quorvel::gl {

// Once per process, before the GL library loads: the shader disk cache (see ShaderDiskCache.h)
// and the software rasteriser's thread count.
void prepareDriverEnvironment();

// llvmpipe rasterises a frame in 64x64 tiles on one thread per processor by default. With as
// many threads as processors, a thread the system sets aside for a moment leaves its processor's
// share of the frame waiting, and the frame takes a few milliseconds longer; one thread more than
// processors lets the others take over its tiles. Sets LP_NUM_THREADS to processors + 1 unless the
// user has set it.
void applyRasterThreadSetting(long processors);

}  // namespace quorvel::gl
