// Writes 3D Studio files: a low-level chunk writer for hand-made (also deliberately damaged)
// files, and descriptions of materials, meshes, lights, cameras and keyframer nodes that are
// written as the chunks 3D Studio itself uses. Plain C++, no dependencies beyond the standard
// library. All coordinates are file coordinates (right-handed, Z up, unscaled).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scene/ChunkIds.h"

namespace threeds {

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// Appends little-endian values; begin() and end() bracket a chunk and end() fills in its length.
class ChunkWriter {
public:
    // Starts a chunk; returns the offset of its header, for later patching.
    std::size_t begin(quorvel::ChunkId id);
    void end();

    ChunkWriter& u8(std::uint8_t value);
    ChunkWriter& u16(std::uint16_t value);
    ChunkWriter& i16(std::int16_t value);
    ChunkWriter& u32(std::uint32_t value);
    ChunkWriter& i32(std::int32_t value);
    ChunkWriter& f32(float value);
    ChunkWriter& str(const std::string& text);  // with its NUL
    ChunkWriter& vec3(const Vec3& v);
    ChunkWriter& raw(const std::vector<std::uint8_t>& bytes);

    // A whole chunk whose content is bytes.
    void chunk(quorvel::ChunkId id, const std::vector<std::uint8_t>& content = {});
    // A whole chunk holding one text with its NUL: the names of materials, maps and instances.
    void textChunk(quorvel::ChunkId id, const std::string& text);
    // Overwrites the length field of the chunk whose header starts at offset.
    void setLength(std::size_t headerOffset, std::uint32_t length);

    std::size_t size() const { return data_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return data_; }
    // The bytes written; every begun chunk must have been ended.
    std::vector<std::uint8_t> take();

private:
    std::vector<std::uint8_t> data_;
    std::vector<std::size_t> open_;
};

// Colour sub-chunk kinds.
enum class ColourFormat : std::uint16_t {
    Floats = static_cast<std::uint16_t>(quorvel::ChunkId::ColourFloats),
    Bytes = static_cast<std::uint16_t>(quorvel::ChunkId::ColourBytes),
    GammaBytes = static_cast<std::uint16_t>(quorvel::ChunkId::ColourGammaBytes),
    GammaFloats = static_cast<std::uint16_t>(quorvel::ChunkId::ColourGammaFloats),
};

struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f;
    ColourFormat format = ColourFormat::Floats;  // byte formats store round(value * 255)
};

struct MaterialDesc {
    std::string name;
    std::optional<Colour> ambient, diffuse, specular;
    // Fractions 0..1, written as whole percentages or as floats.
    std::optional<float> shininess, shininessStrength, transparency;
    bool percentAsFloat = false;
    std::optional<std::uint16_t> shading;  // 1 is flat
    bool twoSided = false, additive = false, wire = false, faceMap = false;
    std::string textureMap;  // written when not empty
    std::string opacityMap;  // written when not empty
};

struct FaceDesc {
    std::uint16_t a = 0, b = 0, c = 0, flags = 0;
};

struct MaterialGroupDesc {
    std::string material;
    std::vector<std::int16_t> faces;
};

struct MeshDesc {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<FaceDesc> faces;
    bool writeFaces = true;  // false: no face-list chunk at all
    std::vector<MaterialGroupDesc> groups;
    std::vector<std::array<float, 2>> uvs;
    // Rows of three: x axis, y axis, z axis, origin (file coordinates).
    std::optional<std::array<float, 12>> localMatrix;
};

struct SpotDesc {
    Vec3 target;
    float hotspot = 0.0f, falloff = 0.0f;
};

struct LightDesc {
    std::string name;
    Vec3 position;
    std::optional<Colour> colour;
    std::optional<float> innerRange, outerRange, multiplier;
    std::optional<SpotDesc> spot;
};

struct CameraDesc {
    std::string name;
    Vec3 position, target;
    float bank = 0.0f, lens = 35.0f;
};

// One key: the spline floats are written in the order of the flag bits that announce them
// (the writer does not check that their number matches the flags).
struct KeyDesc {
    std::uint32_t frame = 0;
    std::uint16_t splineFlags = 0;
    std::vector<float> splineValues;
    std::vector<float> value;  // position/scale 3, rotation 4 (angle, axis), fov/roll 1
};

struct TrackDesc {
    std::uint16_t flags = 0;
    std::vector<KeyDesc> keys;
    std::optional<std::int32_t> keyCount;  // written instead of keys.size() when set
};

// The node chunk a keyframer node is written as.
enum class NodeKind : std::uint16_t {
    Object = static_cast<std::uint16_t>(quorvel::ChunkId::ObjectNode),
    Camera = static_cast<std::uint16_t>(quorvel::ChunkId::CameraNode),
    CameraTarget = static_cast<std::uint16_t>(quorvel::ChunkId::CameraTargetNode),
    Light = static_cast<std::uint16_t>(quorvel::ChunkId::LightNode),
    LightTarget = static_cast<std::uint16_t>(quorvel::ChunkId::LightTargetNode),
    Spotlight = static_cast<std::uint16_t>(quorvel::ChunkId::SpotlightNode),
};

struct NodeDesc {
    NodeKind kind = NodeKind::Object;
    std::optional<std::int16_t> id;  // node-id chunk, written before the header when set
    std::string name;
    std::int16_t parent = -1;
    std::optional<std::string> instanceName;
    std::optional<Vec3> pivot;
    std::optional<TrackDesc> position, rotation, scale, fov, roll;
};

struct SceneDesc {
    std::vector<MaterialDesc> materials;
    std::vector<MeshDesc> meshes;
    std::vector<LightDesc> lights;
    std::vector<CameraDesc> cameras;
    std::optional<std::array<std::int32_t, 2>> frames;  // first and last frame
    std::vector<NodeDesc> nodes;  // a keyframer section is written when frames or nodes exist
};

void writeColour(ChunkWriter& out, const Colour& colour);
void writePercent(ChunkWriter& out, float fraction, bool asFloat);
void writeMaterial(ChunkWriter& out, const MaterialDesc& material);
// Mesh, light and camera: a named-object chunk holding the object's own chunk.
void writeMesh(ChunkWriter& out, const MeshDesc& mesh);
void writeLight(ChunkWriter& out, const LightDesc& light);
void writeCamera(ChunkWriter& out, const CameraDesc& camera);
// id: one of the track chunks, PositionTrack to RollTrack.
void writeTrack(ChunkWriter& out, quorvel::ChunkId id, const TrackDesc& track);
void writeNode(ChunkWriter& out, const NodeDesc& node);

// The whole file: main chunk with a version chunk, the editor section (materials first, then
// meshes, lights, cameras) and the keyframer section.
std::vector<std::uint8_t> buildScene(const SceneDesc& scene);

bool saveFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace threeds
