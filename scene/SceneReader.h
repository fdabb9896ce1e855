// Reads a 3D Studio file into the scene it derives from: the editor section (meshes, materials,
// cameras, lights) and the keyframer section (node hierarchy ids, pivots, animation tracks), then
// finishes the scene (hierarchy, object-space vertices, normals, camera targets, light ranges).
//
// The file is a tree of chunks, each a 16-bit id and a 32-bit length that counts its 6-byte header
// and everything nested in it. One walker and one dispatcher serve every level: a chunk id has the
// same effect wherever it occurs, and unknown chunks are skipped by seeking past them.
//
// Damaged files never fail the load and are never read unsafely: a chunk that claims to run past
// its parent or the file is cut to what remains, every reader stays inside its chunk, counts are
// trusted only as far as the chunk's bytes reach, and nesting deeper than kMaxDepth is skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/ChunkIds.h"
#include "scene/ChunkStream.h"
#include "scene/Scene.h"

class SceneReader : public Scene {
public:
    // Chunks nested deeper than this are skipped. Real files nest about six levels.
    static constexpr int kMaxDepth = 64;

    enum class MapSlot { None, Texture, Opacity };

    struct ChunkHeader {
        quorvel::ChunkId id{};
        std::uint32_t length = 0;  // including the 6 header bytes
    };

    // The spline parameters at the head of every key.
    struct KeySpline {
        float tension = 0.0f, continuity = 0.0f, bias = 0.0f, easeTo = 0.0f, easeFrom = 0.0f;
    };

    SceneReader() = default;
    ~SceneReader() override = default;

    // Reads the file at path (the platform resolves names written on Windows), then finishes the
    // scene. False only when the file cannot be opened; a readable file that is not a 3D Studio
    // file gives an empty scene.
    bool open(const std::string& path);
    // The same over bytes in memory, which need only live for the call.
    void openMemory(const std::uint8_t* data, std::size_t size);

    // The first node named exactly name, searching roots in order, each node before its children.
    SceneNode* findNode(const std::string& nodeName) const;

    // Reading state. Scratch values (percent, objectName, colour, nodeId, innerRange, outerRange,
    // mapSlot) carry over between objects: a chunk that consumes one takes whatever was read last
    // anywhere in the file.
    Mesh* currentMesh = nullptr;
    Camera* currentCamera = nullptr;
    Light* currentLight = nullptr;
    Material* currentMaterial = nullptr;
    SceneNode* currentDummy = nullptr;
    SceneNode* currentNode = nullptr;
    SceneNode* currentTarget = nullptr;
    SceneNode* currentSpotlight = nullptr;
    float percent = 0.0f;
    std::string objectName;
    ColourValue colour;
    // -1 until a node-id chunk is read, so a node without one gets no children.
    std::int32_t nodeId = -1;
    quorvel::NodeTag nodeTag = quorvel::NodeTag::Object;
    float innerRange = 0.0f;
    float outerRange = 0.0f;
    MapSlot mapSlot = MapSlot::None;
    quorvel::ChunkStream file;

private:
    void readFile();
    void finish();

    bool readChunkHeader(ChunkHeader& header);
    void readChunks(std::uint64_t remaining);
    void readSubChunks() { readChunks(file.remaining()); }
    void handleChunk(quorvel::ChunkId id, std::uint64_t contentLength);
    bool readPoint(D3DVECTOR& point);
    std::string readString() { return file.readString(); }
    void readObject();
    // Appends a new node to its type list and to roots (every node, while the file is read).
    template <class Node>
    Node* addNode(std::vector<Node*>& typeList, Node* node) {
        typeList.push_back(node);
        roots.push_back(node);
        return node;
    }

    // Meshes.
    void readMesh();
    void readVertices();
    void readFaces();
    void readMaterialGroup();
    void readTextureCoordinates();
    void readLocalMatrix();

    // Lights and cameras.
    void readLight();
    void readSpotlight();
    void readCamera();

    // Materials, and the colour and percentage values they read.
    void readColourFloats();
    void readColourBytes();
    void readPercentInteger();
    void readMaterial();
    void setMaterialSwitch(std::uint8_t Material::*flag);
    void readMaterialColour(ColourValue Material::*slot);
    void readMaterialPercent(float Material::*slot);
    void readMaterialShading();
    void readMap(MapSlot slot);
    void readMapName();

    // Keyframer section.
    void readNode(quorvel::NodeTag tag);
    void readFrames();
    void readNodeId();
    void readNodeHeader();
    void readInstanceName();
    void readPivot();
    void readPositionTrack(VectorTrack& track);
    void readRotationTrack(RotationTrack& track);
    void readScaleTrack(VectorTrack& track);
    void readScalarTrack(ScalarTrack& track, bool negate);
    // Reads the track flags, the unused bytes and the key count; returns the count (0 when the
    // header is incomplete).
    std::int32_t readTrackHeader(std::int32_t& flags);
    // Reads the spline flags of one key and the floats they announce, writing the key debug
    // lines. Absent parameters are 0. False when the chunk ends first.
    bool readKeyHeader(KeySpline& spline);
    // Reads a track: its header, then up to its count of keys, each a frame, the spline parameters
    // and a value that readValue(key) reads into the key (false when the chunk ends first).
    template <class Track, class ReadValue>
    void readKeys(Track& track, std::uint64_t valueBytes, ReadValue readValue);

    // Searches the descendants of top, each node before its children.
    static SceneNode* findBelow(const SceneNode& top, const std::string& nodeName);

    // Finishing.
    void linkHierarchy();
    static void computeNormals(Mesh& mesh);

    int depth_ = 0;
};
