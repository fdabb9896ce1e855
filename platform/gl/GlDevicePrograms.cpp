// GlDevice: the fixed-function program cache, and the programs remembered between runs.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/gl/GlDevice.h"
#include "platform/gl/ProgramHistory.h"
#include "platform/gl/ShaderDiskCache.h"

namespace quorvel::gl {

FixedFunctionProgram& GlDevice::programFor(const ShaderKey& key) {
    auto it = programs_.find(key);
    if (it == programs_.end()) it = programs_.emplace(key, buildProgram(key)).first;
    // A program that failed to build is not remembered for the next run.
    if (!it->second.used && it->second.program) {
        it->second.used = true;
        usedKeys_.push_back(key);
    }
    return it->second;
}

void GlDevice::buildRememberedPrograms() {
    // QUORVEL_NO_PROGRAM_LISTS (any value) keeps the device from reading or writing lists: the
    // test suites set it, so that what one test drew does not change how the next one starts.
    const char* off = std::getenv("QUORVEL_NO_PROGRAM_LISTS");
    if (off && *off) return;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error) return;
    programHistoryPath_ = programHistoryPath(shaderCacheFolder(), folder.string());
    rememberedKeys_ = readProgramHistory(programHistoryPath_);
    for (const ShaderKey& key : rememberedKeys_) {
        FixedFunctionProgram program = buildProgram(key);
        if (program.program) programs_.emplace(key, program);
    }
}

void GlDevice::rememberPrograms() {
    if (programHistoryPath_.empty() || usedKeys_.empty()) return;
    const std::vector<ShaderKey> merged = mergeProgramHistory(usedKeys_, rememberedKeys_);
    if (merged != rememberedKeys_) writeProgramHistory(programHistoryPath_, merged);
}

}  // namespace quorvel::gl
