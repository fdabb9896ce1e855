#include "tools/3dswriter/ThreeDSWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace threeds {

using quorvel::ChunkId;

std::size_t ChunkWriter::begin(ChunkId id) {
    const std::size_t offset = data_.size();
    open_.push_back(offset);
    u16(static_cast<std::uint16_t>(id)).u32(0);
    return offset;
}

void ChunkWriter::end() {
    if (open_.empty()) throw std::logic_error("ChunkWriter::end without begin");
    const std::size_t offset = open_.back();
    open_.pop_back();
    setLength(offset, static_cast<std::uint32_t>(data_.size() - offset));
}

ChunkWriter& ChunkWriter::u8(std::uint8_t value) {
    data_.push_back(value);
    return *this;
}

ChunkWriter& ChunkWriter::u16(std::uint16_t value) {
    data_.push_back(static_cast<std::uint8_t>(value));
    data_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

ChunkWriter& ChunkWriter::i16(std::int16_t value) { return u16(static_cast<std::uint16_t>(value)); }

ChunkWriter& ChunkWriter::u32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) data_.push_back(static_cast<std::uint8_t>(value >> shift));
    return *this;
}

ChunkWriter& ChunkWriter::i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }

ChunkWriter& ChunkWriter::f32(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return u32(bits);
}

ChunkWriter& ChunkWriter::str(const std::string& text) {
    data_.insert(data_.end(), text.begin(), text.end());
    data_.push_back(0);
    return *this;
}

ChunkWriter& ChunkWriter::vec3(const Vec3& v) { return f32(v.x).f32(v.y).f32(v.z); }

ChunkWriter& ChunkWriter::raw(const std::vector<std::uint8_t>& bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}

void ChunkWriter::chunk(ChunkId id, const std::vector<std::uint8_t>& content) {
    begin(id);
    raw(content);
    end();
}

void ChunkWriter::textChunk(ChunkId id, const std::string& text) {
    begin(id);
    str(text);
    end();
}

void ChunkWriter::setLength(std::size_t headerOffset, std::uint32_t length) {
    for (int i = 0; i < 4; ++i) data_.at(headerOffset + 2 + i) = static_cast<std::uint8_t>(length >> (8 * i));
}

std::vector<std::uint8_t> ChunkWriter::take() {
    if (!open_.empty()) throw std::logic_error("ChunkWriter::take with an open chunk");
    return std::move(data_);
}

namespace {

// The first flag word of every node header. Readers drop both flag words; the value stays as the
// writer has always written it, so generated files keep their bytes.
constexpr std::uint16_t kNodeFlags = 1u << 14;

std::uint8_t toByte(float value) {
    const float scaled = std::round(value * 255.0f);
    return static_cast<std::uint8_t>(scaled < 0.0f ? 0.0f : scaled > 255.0f ? 255.0f : scaled);
}

void writeColourChunk(ChunkWriter& out, ChunkId id, const std::optional<Colour>& colour) {
    if (!colour) return;
    out.begin(id);
    writeColour(out, *colour);
    out.end();
}

void writePercentChunk(ChunkWriter& out, ChunkId id, const std::optional<float>& fraction,
                       bool asFloat) {
    if (!fraction) return;
    out.begin(id);
    writePercent(out, *fraction, asFloat);
    out.end();
}

void writeMap(ChunkWriter& out, ChunkId id, const std::string& fileName) {
    if (fileName.empty()) return;
    out.begin(id);
    writePercent(out, 1.0f, false);  // map strength, as 3D Studio writes it
    out.textChunk(ChunkId::MapName, fileName);
    out.end();
}

}  // namespace

void writeColour(ChunkWriter& out, const Colour& colour) {
    out.begin(ChunkId{static_cast<std::uint16_t>(colour.format)});
    if (colour.format == ColourFormat::Bytes || colour.format == ColourFormat::GammaBytes)
        out.u8(toByte(colour.r)).u8(toByte(colour.g)).u8(toByte(colour.b));
    else
        out.f32(colour.r).f32(colour.g).f32(colour.b);
    out.end();
}

void writePercent(ChunkWriter& out, float fraction, bool asFloat) {
    if (asFloat) {
        out.begin(ChunkId::PercentFloat);
        out.f32(fraction);
    } else {
        out.begin(ChunkId::PercentInteger);
        out.i16(static_cast<std::int16_t>(std::lround(fraction * 100.0f)));
    }
    out.end();
}

void writeMaterial(ChunkWriter& out, const MaterialDesc& material) {
    out.begin(ChunkId::Material);
    out.textChunk(ChunkId::MaterialName, material.name);
    writeColourChunk(out, ChunkId::MaterialAmbient, material.ambient);
    writeColourChunk(out, ChunkId::MaterialDiffuse, material.diffuse);
    writeColourChunk(out, ChunkId::MaterialSpecular, material.specular);
    writePercentChunk(out, ChunkId::MaterialShininess, material.shininess, material.percentAsFloat);
    writePercentChunk(out, ChunkId::MaterialShininessStrength, material.shininessStrength,
                      material.percentAsFloat);
    writePercentChunk(out, ChunkId::MaterialTransparency, material.transparency,
                      material.percentAsFloat);
    if (material.shading) {
        out.begin(ChunkId::MaterialShading);
        out.u16(*material.shading);
        out.end();
    }
    if (material.twoSided) out.chunk(ChunkId::MaterialTwoSided);
    if (material.additive) out.chunk(ChunkId::MaterialAdditive);
    if (material.wire) out.chunk(ChunkId::MaterialWire);
    if (material.faceMap) out.chunk(ChunkId::MaterialFaceMap);
    writeMap(out, ChunkId::TextureMap, material.textureMap);
    writeMap(out, ChunkId::OpacityMap, material.opacityMap);
    out.end();
}

void writeMesh(ChunkWriter& out, const MeshDesc& mesh) {
    out.begin(ChunkId::NamedObject);
    out.str(mesh.name);
    out.begin(ChunkId::Mesh);
    out.begin(ChunkId::VertexList);
    out.u16(static_cast<std::uint16_t>(mesh.vertices.size()));
    for (const Vec3& v : mesh.vertices) out.vec3(v);
    out.end();
    if (!mesh.uvs.empty()) {
        out.begin(ChunkId::TextureCoordinates);
        out.u16(static_cast<std::uint16_t>(mesh.uvs.size()));
        for (const auto& uv : mesh.uvs) out.f32(uv[0]).f32(uv[1]);
        out.end();
    }
    if (mesh.localMatrix) {
        out.begin(ChunkId::LocalMatrix);
        for (float value : *mesh.localMatrix) out.f32(value);
        out.end();
    }
    if (mesh.writeFaces) {
        out.begin(ChunkId::FaceList);
        out.u16(static_cast<std::uint16_t>(mesh.faces.size()));
        for (const FaceDesc& f : mesh.faces) out.u16(f.a).u16(f.b).u16(f.c).u16(f.flags);
        for (const MaterialGroupDesc& group : mesh.groups) {
            out.begin(ChunkId::MaterialGroup);
            out.str(group.material);
            out.u16(static_cast<std::uint16_t>(group.faces.size()));
            for (std::int16_t face : group.faces) out.i16(face);
            out.end();
        }
        out.end();
    }
    out.end();
    out.end();
}

void writeLight(ChunkWriter& out, const LightDesc& light) {
    out.begin(ChunkId::NamedObject);
    out.str(light.name);
    out.begin(ChunkId::Light);
    out.vec3(light.position);
    if (light.colour) writeColour(out, *light.colour);
    if (light.spot) {
        out.begin(ChunkId::Spotlight);
        out.vec3(light.spot->target).f32(light.spot->hotspot).f32(light.spot->falloff);
        out.end();
    }
    if (light.innerRange) {
        out.begin(ChunkId::LightInnerRange);
        out.f32(*light.innerRange);
        out.end();
    }
    if (light.outerRange) {
        out.begin(ChunkId::LightOuterRange);
        out.f32(*light.outerRange);
        out.end();
    }
    if (light.multiplier) {
        out.begin(ChunkId::LightMultiplier);
        out.f32(*light.multiplier);
        out.end();
    }
    out.end();
    out.end();
}

void writeCamera(ChunkWriter& out, const CameraDesc& camera) {
    out.begin(ChunkId::NamedObject);
    out.str(camera.name);
    out.begin(ChunkId::Camera);
    out.vec3(camera.position).vec3(camera.target).f32(camera.bank).f32(camera.lens);
    out.end();
    out.end();
}

void writeTrack(ChunkWriter& out, ChunkId id, const TrackDesc& track) {
    out.begin(id);
    out.u16(track.flags);
    for (int i = 0; i < 8; ++i) out.u8(0);
    out.i32(track.keyCount.value_or(static_cast<std::int32_t>(track.keys.size())));
    for (const KeyDesc& key : track.keys) {
        out.u32(key.frame).u16(key.splineFlags);
        for (float value : key.splineValues) out.f32(value);
        for (float value : key.value) out.f32(value);
    }
    out.end();
}

void writeNode(ChunkWriter& out, const NodeDesc& node) {
    out.begin(ChunkId{static_cast<std::uint16_t>(node.kind)});
    if (node.id) {
        out.begin(ChunkId::NodeId);
        out.i16(*node.id);
        out.end();
    }
    out.begin(ChunkId::NodeHeader);
    out.str(node.name).u16(kNodeFlags).u16(0).i16(node.parent);
    out.end();
    if (node.instanceName) out.textChunk(ChunkId::InstanceName, *node.instanceName);
    if (node.pivot) {
        out.begin(ChunkId::Pivot);
        out.vec3(*node.pivot);
        out.end();
    }
    if (node.position) writeTrack(out, ChunkId::PositionTrack, *node.position);
    if (node.rotation) writeTrack(out, ChunkId::RotationTrack, *node.rotation);
    if (node.scale) writeTrack(out, ChunkId::ScaleTrack, *node.scale);
    if (node.fov) writeTrack(out, ChunkId::FovTrack, *node.fov);
    if (node.roll) writeTrack(out, ChunkId::RollTrack, *node.roll);
    out.end();
}

std::vector<std::uint8_t> buildScene(const SceneDesc& scene) {
    ChunkWriter out;
    out.begin(ChunkId::Main);
    out.begin(ChunkId::Version);  // readers skip it
    out.u32(3);
    out.end();
    out.begin(ChunkId::Editor);
    for (const MaterialDesc& material : scene.materials) writeMaterial(out, material);
    for (const MeshDesc& mesh : scene.meshes) writeMesh(out, mesh);
    for (const LightDesc& light : scene.lights) writeLight(out, light);
    for (const CameraDesc& camera : scene.cameras) writeCamera(out, camera);
    out.end();
    if (scene.frames || !scene.nodes.empty()) {
        out.begin(ChunkId::Keyframer);
        if (scene.frames) {
            out.begin(ChunkId::Frames);
            out.i32((*scene.frames)[0]).i32((*scene.frames)[1]);
            out.end();
        }
        for (const NodeDesc& node : scene.nodes) writeNode(out, node);
        out.end();
    }
    out.end();
    return out.take();
}

bool saveFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace threeds
