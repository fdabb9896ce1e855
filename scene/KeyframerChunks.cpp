// The keyframer section of a 3D Studio file: node chunks naming the objects they animate, their
// hierarchy ids, pivots and tracks of keys.
#include <algorithm>
#include <cstdio>

#include "platform/win/Win32.h"
#include "scene/SceneReader.h"

using quorvel::NodeTag;

namespace {

// frame (4) and spline flags (2) come before every key's value.
constexpr std::uint64_t kKeyHeadBytes = 6;

void debugValue(const char* format, float value) {
    char line[256];
    std::snprintf(line, sizeof line, format, static_cast<double>(value));
    OutputDebugStringA(line);
}

// Never reserve more keys than the chunk's remaining bytes could hold.
template <class Track>
void reserveKeys(Track& track, std::int32_t count, std::uint64_t remaining, std::uint64_t valueBytes) {
    const std::uint64_t fit = remaining / (kKeyHeadBytes + valueBytes);
    track.keys.reserve(track.keys.size() +
                       std::min<std::uint64_t>(static_cast<std::uint64_t>(count), fit));
}

}  // namespace

void SceneReader::readNode(NodeTag tag) {
    nodeTag = tag;
    readSubChunks();
}

void SceneReader::readFrames() {
    std::int32_t start, end;
    if (file.readI32(start) && file.readI32(end)) {
        startFrame = static_cast<float>(start);
        endFrame = static_cast<float>(end);
    }
}

void SceneReader::readNodeId() {
    std::int16_t id;
    if (file.readI16(id)) nodeId = id;
}

void SceneReader::readNodeHeader() {
    const std::string nodeName = readString();
    if (nodeTag == NodeTag::CameraTarget) {
        currentTarget = currentNode =
            addNode(cameraTargets, new SceneNode(NodeType::CameraTarget, nodeName));
    } else if (nodeTag == NodeTag::Spotlight) {
        currentSpotlight = currentNode =
            addNode(spotlights, new SceneNode(NodeType::Spotlight, nodeName));
    } else {
        currentNode = findNode(nodeName);
        if (!currentNode)
            currentDummy = currentNode = addNode(dummies, new SceneNode(NodeType::Dummy, nodeName));
    }
    std::uint16_t flags1, flags2;
    std::int16_t parent;
    if (file.readU16(flags1) && file.readU16(flags2) && file.readI16(parent))
        currentNode->parentId = parent;
    currentNode->nodeId = nodeId;
    nodeTag = NodeTag::LookUp;
}

void SceneReader::readInstanceName() {
    nodeTag = NodeTag::LookUp;
    std::string instanceName = readString();
    if (currentDummy) currentDummy->name = std::move(instanceName);
}

void SceneReader::readPivot() {
    if (currentNode) readPoint(currentNode->pivot);
}

bool SceneReader::readKeyHeader(KeySpline& spline) {
    spline = KeySpline{};
    std::uint16_t flags;
    if (!file.readU16(flags)) return false;
    // In flag bit order: tension, continuity, bias, ease to, ease from.
    static const char* const kLabels[quorvel::kSplineParameterCount] = {"T: ", "C: ", "B: ",
                                                                         "EASE TO: ", "EASE FROM: "};
    float* const slots[quorvel::kSplineParameterCount] = {
        &spline.tension, &spline.continuity, &spline.bias, &spline.easeTo, &spline.easeFrom};
    for (int bit = 0; bit < 16; ++bit) {
        if (!(flags & (1u << bit))) continue;
        OutputDebugStringA("KEY:\n");
        float value;
        if (!file.readFloat(value)) return false;
        const bool known = bit < quorvel::kSplineParameterCount;
        if (known) *slots[bit] = value;
        // "UNKOWN" is the label as shows have always printed it; the debug lines are compared.
        OutputDebugStringA(known ? kLabels[bit] : "UNKOWN: ");
        debugValue("data %f\n", value);
    }
    return true;
}

std::int32_t SceneReader::readTrackHeader(std::int32_t& flags) {
    std::uint16_t trackFlags;
    if (!file.readU16(trackFlags)) return 0;
    flags = trackFlags;
    file.skip(8);
    std::int32_t count;
    if (!file.readI32(count)) return 0;
    return count;
}

// Each track reader reads at most `count` keys and stops at the end of the chunk, keeping only
// complete keys; the track is prepared once afterwards, also when it has no keys. Keys are
// appended to any already there, so a node named twice keeps the keys of both.

namespace {

template <class Key>
void applySpline(Key& key, std::uint32_t frame, const SceneReader::KeySpline& spline) {
    key.frame = static_cast<float>(frame);
    key.tension = spline.tension;
    key.continuity = spline.continuity;
    key.bias = spline.bias;
    key.easeTo = spline.easeTo;
    key.easeFrom = spline.easeFrom;
}

}  // namespace

template <class Track, class ReadValue>
void SceneReader::readKeys(Track& track, std::uint64_t valueBytes, ReadValue readValue) {
    const std::int32_t count = readTrackHeader(track.flags);
    reserveKeys(track, count, file.remaining(), valueBytes);
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint32_t frame;
        KeySpline spline;
        if (!file.readU32(frame) || !readKeyHeader(spline)) break;
        typename decltype(track.keys)::value_type key{};
        if (!readValue(key)) break;
        applySpline(key, frame, spline);
        track.addKey(key);
    }
    track.prepare();
}

void SceneReader::readPositionTrack(VectorTrack& track) {
    readKeys(track, 12, [this](VectorKey& key) {
        D3DVECTOR value;
        if (!readPoint(value)) return false;
        key.value[0] = value.x;
        key.value[1] = value.y;
        key.value[2] = value.z;
        return true;
    });
}

void SceneReader::readScaleTrack(VectorTrack& track) {
    readKeys(track, 12, [this](VectorKey& key) {
        float x, y, z;
        if (!file.readFloat(x) || !file.readFloat(y) || !file.readFloat(z)) return false;
        // Scale factors change axes like points do, but keep their size.
        key.value[0] = x;
        key.value[1] = z;
        key.value[2] = y;
        return true;
    });
}

void SceneReader::readRotationTrack(RotationTrack& track) {
    readKeys(track, 16, [this](RotationKey& key) {
        float angle, x, y, z;
        if (!file.readFloat(angle) || !file.readFloat(x) || !file.readFloat(y) || !file.readFloat(z))
            return false;
        key.angle = angle;
        key.axis[0] = z;
        key.axis[1] = x;
        key.axis[2] = y;
        return true;
    });
}

void SceneReader::readScalarTrack(ScalarTrack& track, bool negate) {
    readKeys(track, 4, [this, negate](ScalarKey& key) {
        float value;
        if (!file.readFloat(value)) return false;
        // Roll turns the other way in a left-handed space.
        key.value = negate ? -value : value;
        if (negate) debugValue("%f ROLL\n", key.value);
        return true;
    });
}
