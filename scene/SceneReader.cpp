#include "scene/SceneReader.h"

#include <algorithm>
#include <unordered_set>

#include "platform/win/FileNames.h"

using quorvel::ChunkId;
using quorvel::NodeTag;

namespace {

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
    if (!readChunkHeader(main) || main.id != ChunkId::Main || main.length < kHeaderBytes) return;
    readChunks(main.length - kHeaderBytes);
}

bool SceneReader::readChunkHeader(ChunkHeader& header) {
    std::uint16_t id;
    if (!file.readU16(id) || !file.readU32(header.length)) return false;
    header.id = ChunkId{id};
    return true;
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

void SceneReader::readObject() {
    objectName = readString();
    readSubChunks();
}

void SceneReader::handleChunk(ChunkId id, std::uint64_t /*contentLength*/) {
    switch (id) {
        // Colour and percentage sub-chunks set the scratch values their parents consume.
        case ChunkId::ColourFloats:
        case ChunkId::ColourGammaFloats: readColourFloats(); break;
        case ChunkId::ColourBytes:
        case ChunkId::ColourGammaBytes: readColourBytes(); break;
        case ChunkId::PercentInteger: readPercentInteger(); break;
        case ChunkId::PercentFloat: file.readFloat(percent); break;

        // Editor section.
        case ChunkId::Editor: readSubChunks(); break;
        case ChunkId::NamedObject: readObject(); break;
        case ChunkId::Mesh: readMesh(); break;
        case ChunkId::VertexList: readVertices(); break;
        case ChunkId::FaceList: readFaces(); break;
        case ChunkId::MaterialGroup: readMaterialGroup(); break;
        case ChunkId::TextureCoordinates: readTextureCoordinates(); break;
        case ChunkId::LocalMatrix: readLocalMatrix(); break;
        case ChunkId::Light: readLight(); break;
        case ChunkId::Spotlight: readSpotlight(); break;
        case ChunkId::LightInnerRange: file.readFloat(innerRange); break;
        case ChunkId::LightOuterRange: file.readFloat(outerRange); break;
        case ChunkId::LightMultiplier:
            if (currentLight) file.readFloat(currentLight->multiplier);
            break;
        case ChunkId::Camera: readCamera(); break;

        // Materials.
        case ChunkId::Material: readSubChunks(); break;
        case ChunkId::MaterialName: readMaterial(); break;
        case ChunkId::MaterialAmbient: readMaterialColour(&Material::ambient); break;
        case ChunkId::MaterialDiffuse: readMaterialColour(&Material::diffuse); break;
        case ChunkId::MaterialSpecular: readMaterialColour(&Material::specular); break;
        case ChunkId::MaterialShininess: readMaterialPercent(&Material::shininess); break;
        case ChunkId::MaterialShininessStrength:
            readMaterialPercent(&Material::shininessStrength);
            break;
        case ChunkId::MaterialTransparency: readMaterialPercent(&Material::transparency); break;
        case ChunkId::MaterialTwoSided: setMaterialSwitch(&Material::twoSided); break;
        case ChunkId::MaterialAdditive: setMaterialSwitch(&Material::additive); break;
        case ChunkId::MaterialWire: setMaterialSwitch(&Material::wire); break;
        case ChunkId::MaterialFaceMap: setMaterialSwitch(&Material::faceMap); break;
        case ChunkId::MaterialShading: readMaterialShading(); break;
        case ChunkId::TextureMap: readMap(MapSlot::Texture); break;
        case ChunkId::OpacityMap: readMap(MapSlot::Opacity); break;
        case ChunkId::ReflectionMap: readMap(mapSlot); break;  // keeps the slot chosen last
        case ChunkId::MapName: readMapName(); break;

        // Keyframer section.
        case ChunkId::Keyframer: readNode(NodeTag::LookUp); break;
        case ChunkId::ObjectNode: readNode(NodeTag::Object); break;
        case ChunkId::CameraNode: readNode(NodeTag::Camera); break;
        case ChunkId::CameraTargetNode: readNode(NodeTag::CameraTarget); break;
        case ChunkId::LightNode:
        case ChunkId::LightTargetNode: readNode(NodeTag::Light); break;
        case ChunkId::SpotlightNode: readNode(NodeTag::Spotlight); break;
        case ChunkId::Frames: readFrames(); break;
        case ChunkId::NodeHeader: readNodeHeader(); break;
        case ChunkId::InstanceName: readInstanceName(); break;
        case ChunkId::Pivot: readPivot(); break;
        case ChunkId::PositionTrack:
            if (currentNode) readPositionTrack(currentNode->positionTrack);
            break;
        case ChunkId::RotationTrack:
            if (currentNode) readRotationTrack(currentNode->rotationTrack);
            break;
        case ChunkId::ScaleTrack:
            if (currentNode) readScaleTrack(currentNode->scaleTrack);
            break;
        case ChunkId::FovTrack:
            if (currentNode && currentNode->type == NodeType::Camera)
                readScalarTrack(static_cast<Camera*>(currentNode)->fovTrack, false);
            break;
        case ChunkId::RollTrack:
            if (currentNode && currentNode->type == NodeType::Camera)
                readScalarTrack(static_cast<Camera*>(currentNode)->rollTrack, true);
            break;
        case ChunkId::NodeId: readNodeId(); break;

        // Main (recognised only as the file's first chunk), Version, and ids of no interest: the
        // walker skips them with their sub-chunks.
        default: break;
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
