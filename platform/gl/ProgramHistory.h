// The fixed-function programs a show has drawn with, remembered between runs. A device reads the
// list when it is made and builds those programs then, while the show is still loading, instead
// of in the middle of the frame that first needs each one. A show runs from its own folder, so
// each working folder has a list of its own; it lives beside Mesa's shader cache, which makes
// each of these builds cheap.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/gl/ShaderKey.h"

namespace quorvel::gl {

// Most programs remembered for one folder. A show needs a handful; programs a show no longer
// uses fall off the end as newer ones are remembered.
constexpr std::size_t kRememberedProgramLimit = 32;

// <cacheFolder>/programs-<hash of workingFolder>.bin; empty when cacheFolder is.
std::string programHistoryPath(const std::string& cacheFolder, const std::string& workingFolder);

std::vector<unsigned char> encodeProgramHistory(const std::vector<ShaderKey>& keys);
// The keys of an encoded list. A list that is damaged, from another version of the program, or
// holds a key no device state could produce gives nothing: the worst a bad file can do is cost
// the next run its head start.
std::vector<ShaderKey> decodeProgramHistory(const unsigned char* bytes, std::size_t size);

// The programs this run used, in the order it first used them, then those remembered from before
// that it did not use; at most kRememberedProgramLimit in all.
std::vector<ShaderKey> mergeProgramHistory(const std::vector<ShaderKey>& usedNow,
                                           const std::vector<ShaderKey>& remembered);

std::vector<ShaderKey> readProgramHistory(const std::string& path);
// Replaces the file whole (written beside it, then renamed), so a reader never sees half a list.
bool writeProgramHistory(const std::string& path, const std::vector<ShaderKey>& keys);

}  // namespace quorvel::gl
