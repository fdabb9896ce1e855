#include "scene/SceneReader.h"

#include <algorithm>
#include <unordered_set>

#include "platform/win/FileNames.h"

namespace {

constexpr std::uint16_t kMainChunk = 0x4D4D;
constexpr std::uint32_t kHeaderBytes = 6;

// Keeps the nesting count right on every way out of a walk.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

}  // namespace

bool SceneReader::open(const std::string& path) {
    if (!file.openFile(quorvel::platform::resolveFileName(path))) return false;
    readFile();
    file.close();
    finish();
    return true;
}

void SceneReader::openMemory(const std::uint8_t* data, std::size_t size) {
    file.openMemory(data, size);
    readFile();
    file.close();
    finish();
}

void SceneReader::readFile() {
    // Only a file that starts with the main chunk is read; anything else is an empty scene.
    ChunkHeader main;
    if (!readChunkHeader(main) || main.id != kMainChunk || main.length < kHeaderBytes) return;
    readChunks(main.length - kHeaderBytes);
}

bool SceneReader::readChunkHeader(ChunkHeader& header) {
    return file.readU16(header.id) && file.readU32(header.length);
}

void SceneReader::readChunks(std::uint64_t remaining) {
    if (depth_ >= kMaxDepth) return;
    DepthGuard guard(depth_);

    const std::uint64_t parentLimit = file.limit();
    const std::uint64_t end = std::min(parentLimit, file.position() + remaining);
    while (file.position() < end) {
        file.setLimit(end);
        ChunkHeader header;
        if (!readChunkHeader(header) || header.length < kHeaderBytes) break;
        const std::uint64_t contentStart = file.position();
        // A chunk that claims more than its parent (or the file) holds is cut to what remains.
        const std::uint64_t chunkEnd = std::min(contentStart + (header.length - kHeaderBytes), end);
        file.setLimit(chunkEnd);
        handleChunk(header.id, chunkEnd - contentStart);
        // Whatever the handler consumed, the next chunk starts where this one ends.
        file.setLimit(parentLimit);
        file.seek(chunkEnd);
    }
    file.setLimit(parentLimit);
}

bool SceneReader::readPoint(D3DVECTOR& point) {
    float x, y, z;
    if (!file.readFloat(x) || !file.readFloat(y) || !file.readFloat(z)) return false;
    // 3D Studio is right-handed with Z up; the engine is left-handed with Y up and a tenth of
    // the scale.
    point = {x * 0.1f, z * 0.1f, y * 0.1f};
    return true;
}

void SceneReader::handleChunk(std::uint16_t id, std::uint64_t /*contentLength*/) {
    switch (id) {
        // Colour and percentage sub-chunks set the scratch values their parents consume.
        case 0x0010:
        case 0x0013: readColourFloats(); break;
        case 0x0011:
        case 0x0012: readColourBytes(); break;
        case 0x0030: {
            std::int16_t n;
            if (file.readI16(n)) percent = n * 0.01f;
            break;
        }
        case 0x0031: file.readFloat(percent); break;

        // Editor section.
        case 0x3D3D: readSubChunks(); break;
        case 0x4000: readObject(); break;
        case 0x4100: readMesh(); break;
        case 0x4110: readVertices(); break;
        case 0x4120: readFaces(); break;
        case 0x4130: readMaterialGroup(); break;
        case 0x4140: readTextureCoordinates(); break;
        case 0x4160: readLocalMatrix(); break;
        case 0x4600: readLight(); break;
        case 0x4610: readSpotlight(); break;
        case 0x4659: file.readFloat(innerRange); break;
        case 0x465A: file.readFloat(outerRange); break;
        case 0x465B:
            if (currentLight) file.readFloat(currentLight->multiplier);
            break;
        case 0x4700: readCamera(); break;

        // Materials.
        case 0xA000: readMaterial(); break;
        case 0xA010: readMaterialColour(&Material::ambient); break;
        case 0xA020: readMaterialColour(&Material::diffuse); break;
        case 0xA030: readMaterialColour(&Material::specular); break;
        case 0xA040: readMaterialPercent(&Material::shininess); break;
        case 0xA041: readMaterialPercent(&Material::shininessStrength); break;
        case 0xA050: readMaterialPercent(&Material::transparency); break;
        case 0xA081:
            if (currentMaterial) currentMaterial->twoSided = 1;
            break;
        case 0xA083:
            if (currentMaterial) currentMaterial->additive = 1;
            break;
        case 0xA085:
            if (currentMaterial) currentMaterial->wire = 1;
            break;
        case 0xA088:
            if (currentMaterial) currentMaterial->faceMap = 1;
            break;
        case 0xA100: {
            std::uint8_t shading;
            if (currentMaterial && file.readU8(shading) && shading == 1)
                currentMaterial->flatShading = 1;
            break;
        }
        case 0xA200:
            if (!currentMaterial) break;
            mapSlot = MapSlot::Texture;
            readSubChunks();
            break;
        case 0xA210:
            if (!currentMaterial) break;
            mapSlot = MapSlot::Opacity;
            readSubChunks();
            break;
        case 0xA220:
            if (currentMaterial) readSubChunks();
            break;
        case 0xA300: readMapName(); break;
        case 0xAFFF: readSubChunks(); break;

        // Keyframer section.
        case 0xB000: nodeTag = 5; readSubChunks(); break;
        case 0xB002: nodeTag = 0; readSubChunks(); break;
        case 0xB003: nodeTag = 1; readSubChunks(); break;
        case 0xB004: nodeTag = 4; readSubChunks(); break;
        case 0xB005:
        case 0xB006: nodeTag = 2; readSubChunks(); break;
        case 0xB007: nodeTag = 3; readSubChunks(); break;
        case 0xB008: {
            std::int32_t start, end;
            if (file.readI32(start) && file.readI32(end)) {
                startFrame = static_cast<float>(start);
                endFrame = static_cast<float>(end);
            }
            break;
        }
        case 0xB010: readNodeHeader(); break;
        case 0xB011: readInstanceName(); break;
        case 0xB013: readPivot(); break;
        case 0xB020:
            if (currentNode) readPositionTrack(currentNode->positionTrack);
            break;
        case 0xB021:
            if (currentNode) readRotationTrack(currentNode->rotationTrack);
            break;
        case 0xB022:
            if (currentNode) readScaleTrack(currentNode->scaleTrack);
            break;
        case 0xB023:
            if (currentNode && currentNode->type == NodeType::Camera)
                readScalarTrack(static_cast<Camera*>(currentNode)->fovTrack, false);
            break;
        case 0xB024:
            if (currentNode && currentNode->type == NodeType::Camera)
                readScalarTrack(static_cast<Camera*>(currentNode)->rollTrack, true);
            break;
        case 0xB030: {
            std::int16_t id16;
            if (file.readI16(id16)) nodeId = id16;
            break;
        }
        default: break;  // unknown: the walker skips it with its sub-chunks
    }
}

SceneNode* SceneReader::findNode(const std::string& nodeName) const {
    // While the file is read no node has children yet, and the search is a plain scan.
    for (SceneNode* root : roots) {
        if (root->name == nodeName) return root;
        if (root->children.empty()) continue;
        if (SceneNode* found = findBelow(*root, nodeName)) return found;
    }
    return nullptr;
}

SceneNode* SceneReader::findBelow(const SceneNode& top, const std::string& nodeName) {
    // Depth first with an explicit stack, so a deep hierarchy cannot exhaust the call stack. A
    // node shared by two parents (repeated node ids) is searched once: a second visit could not
    // find anything the first did not.
    std::vector<SceneNode*> pending(top.children.rbegin(), top.children.rend());
    std::unordered_set<const SceneNode*> visited;
    while (!pending.empty()) {
        SceneNode* node = pending.back();
        pending.pop_back();
        if (!visited.insert(node).second) continue;
        if (node->name == nodeName) return node;
        pending.insert(pending.end(), node->children.rbegin(), node->children.rend());
    }
    return nullptr;
}
