#include "platform/gl/ProgramHistory.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quorvel::gl {

namespace {

constexpr char kMagic[4] = {'Q', 'V', 'P', 'H'};
constexpr std::uint32_t kVersion = 1;
// magic, version, key size, key count; the keys; a checksum of everything before it.
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kChecksumBytes = 8;

void putU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::uint32_t getU32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool isFlag(std::uint8_t v) { return v <= 1; }

// Keys that makeShaderKey could have made. The shader generator trusts the counts to stay within
// their arrays, so a key from a file must prove that first.
bool isWellFormed(const ShaderKey& k) {
    if (!isFlag(k.pretransformed) || !isFlag(k.hasNormal) || !isFlag(k.hasDiffuse) || !isFlag(k.hasSpecular) ||
        !isFlag(k.lighting) || !isFlag(k.specularEnable) || !isFlag(k.normalizeNormals) ||
        !isFlag(k.localViewer) || !isFlag(k.flatShade))
        return false;
    if (k.texCount > 2 || k.activeStages > kShaderStages || k.lightCount > k.lightTypes.size()) return false;
    if (k.diffuseSource > D3DMCS_COLOR2 || k.ambientSource > D3DMCS_COLOR2 || k.specularSource > D3DMCS_COLOR2 ||
        k.emissiveSource > D3DMCS_COLOR2)
        return false;
    if (!k.lighting && k.lightCount != 0) return false;
    for (std::size_t i = 0; i < k.lightTypes.size(); ++i) {
        const bool enabled = i < k.lightCount;
        const std::uint8_t type = k.lightTypes[i];
        if (enabled ? (type < D3DLIGHT_POINT || type > D3DLIGHT_DIRECTIONAL) : type != 0) return false;
    }
    static constexpr StageKey kUnused{};
    for (int s = 0; s < kShaderStages; ++s) {
        const StageKey& stage = k.stages[s];
        if (s < k.activeStages) {
            if (stage.colorOp <= D3DTOP_DISABLE || stage.colorOp > D3DTOP_BLENDCURRENTALPHA ||
                stage.alphaOp > D3DTOP_BLENDCURRENTALPHA || !isFlag(stage.textureBound))
                return false;
        } else if (std::memcmp(&stage, &kUnused, sizeof stage) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string programHistoryPath(const std::string& cacheFolder, const std::string& workingFolder) {
    if (cacheFolder.empty()) return {};
    char name[48];
    std::snprintf(name, sizeof name, "/programs-%016llx.bin",
                  static_cast<unsigned long long>(fnv1a(workingFolder.data(), workingFolder.size())));
    return cacheFolder + name;
}

std::vector<unsigned char> encodeProgramHistory(const std::vector<ShaderKey>& keys) {
    std::vector<unsigned char> out(std::begin(kMagic), std::end(kMagic));
    putU32(out, kVersion);
    putU32(out, sizeof(ShaderKey));
    putU32(out, static_cast<std::uint32_t>(keys.size()));
    for (const ShaderKey& key : keys) {
        const auto* p = reinterpret_cast<const unsigned char*>(&key);
        out.insert(out.end(), p, p + sizeof key);
    }
    const std::uint64_t sum = fnv1a(out.data(), out.size());
    putU32(out, static_cast<std::uint32_t>(sum));
    putU32(out, static_cast<std::uint32_t>(sum >> 32));
    return out;
}

std::vector<ShaderKey> decodeProgramHistory(const unsigned char* bytes, std::size_t size) {
    if (!bytes || size < kHeaderBytes + kChecksumBytes || std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return {};
    if (getU32(bytes + 4) != kVersion || getU32(bytes + 8) != sizeof(ShaderKey)) return {};
    const std::uint32_t count = getU32(bytes + 12);
    if (count > kRememberedProgramLimit || size != kHeaderBytes + count * sizeof(ShaderKey) + kChecksumBytes)
        return {};
    const std::size_t body = size - kChecksumBytes;
    const std::uint64_t sum = getU32(bytes + body) | (static_cast<std::uint64_t>(getU32(bytes + body + 4)) << 32);
    if (sum != fnv1a(bytes, body)) return {};

    std::vector<ShaderKey> keys(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::memcpy(&keys[i], bytes + kHeaderBytes + i * sizeof(ShaderKey), sizeof(ShaderKey));
        if (!isWellFormed(keys[i])) return {};
    }
    return keys;
}

std::vector<ShaderKey> mergeProgramHistory(const std::vector<ShaderKey>& usedNow,
                                           const std::vector<ShaderKey>& remembered) {
    std::vector<ShaderKey> merged;
    auto add = [&](const ShaderKey& key) {
        // A key no reader would accept (a light of a type Direct3D does not have) is not kept.
        if (merged.size() < kRememberedProgramLimit && isWellFormed(key) &&
            std::find(merged.begin(), merged.end(), key) == merged.end())
            merged.push_back(key);
    };
    for (const ShaderKey& key : usedNow) add(key);
    for (const ShaderKey& key : remembered) add(key);
    return merged;
}

std::vector<ShaderKey> readProgramHistory(const std::string& path) {
    if (path.empty()) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    // One byte more than the largest list can take, so an oversized file is seen as one.
    constexpr std::size_t kMaxBytes = kHeaderBytes + kRememberedProgramLimit * sizeof(ShaderKey) + kChecksumBytes;
    std::vector<unsigned char> bytes(kMaxBytes + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return decodeProgramHistory(bytes.data(), static_cast<std::size_t>(in.gcount()));
}

bool writeProgramHistory(const std::string& path, const std::vector<ShaderKey>& keys) {
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    // Another run of the same show may be writing its list at the same moment: each writes a file
    // of its own and the last rename wins whole.
    const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
    const std::vector<unsigned char> bytes = encodeProgramHistory(keys);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, path, error);
    if (!error) return true;
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace quorvel::gl
