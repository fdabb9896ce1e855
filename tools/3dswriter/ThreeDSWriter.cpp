#include "tools/3dswriter/ThreeDSWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace threeds {

std::size_t ChunkWriter::begin(std::uint16_t id) {
    const std::size_t offset = data_.size();
    open_.push_back(offset);
    u16(id).u32(0);
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

void ChunkWriter::chunk(std::uint16_t id, const std::vector<std::uint8_t>& content) {
    begin(id);
    raw(content);
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

std::uint8_t toByte(float value) {
    const float scaled = std::round(value * 255.0f);
    return static_cast<std::uint8_t>(scaled < 0.0f ? 0.0f : scaled > 255.0f ? 255.0f : scaled);
}

void writeColourChunk(ChunkWriter& out, std::uint16_t id, const std::optional<Colour>& colour) {
    if (!colour) return;
    out.begin(id);
    writeColour(out, *colour);
    out.end();
}

void writePercentChunk(ChunkWriter& out, std::uint16_t id, const std::optional<float>& fraction,
                       bool asFloat) {
    if (!fraction) return;
    out.begin(id);
    writePercent(out, *fraction, asFloat);
    out.end();
}

void writeMap(ChunkWriter& out, std::uint16_t id, const std::string& fileName) {
    if (fileName.empty()) return;
    out.begin(id);
    writePercent(out, 1.0f, false);  // map strength, as 3D Studio writes it
    out.begin(0xA300);
    out.str(fileName);
    out.end();
    out.end();
}

}  // namespace

void writeColour(ChunkWriter& out, const Colour& colour) {
    out.begin(static_cast<std::uint16_t>(colour.format));
    if (colour.format == ColourFormat::Bytes || colour.format == ColourFormat::GammaBytes)
        out.u8(toByte(colour.r)).u8(toByte(colour.g)).u8(toByte(colour.b));
    else
        out.f32(colour.r).f32(colour.g).f32(colour.b);
    out.end();
}

void writePercent(ChunkWriter& out, float fraction, bool asFloat) {
    if (asFloat) {
        out.begin(0x0031);
        out.f32(fraction);
    } else {
        out.begin(0x0030);
        out.i16(static_cast<std::int16_t>(std::lround(fraction * 100.0f)));
    }
    out.end();
}

void writeMaterial(ChunkWriter& out, const MaterialDesc& material) {
    out.begin(0xAFFF);
    out.begin(0xA000);
    out.str(material.name);
    out.end();
    writeColourChunk(out, 0xA010, material.ambient);
    writeColourChunk(out, 0xA020, material.diffuse);
    writeColourChunk(out, 0xA030, material.specular);
    writePercentChunk(out, 0xA040, material.shininess, material.percentAsFloat);
    writePercentChunk(out, 0xA041, material.shininessStrength, material.percentAsFloat);
    writePercentChunk(out, 0xA050, material.transparency, material.percentAsFloat);
    if (material.shading) {
        out.begin(0xA100);
        out.u16(*material.shading);
        out.end();
    }
    if (material.twoSided) out.chunk(0xA081);
    if (material.additive) out.chunk(0xA083);
    if (material.wire) out.chunk(0xA085);
    if (material.faceMap) out.chunk(0xA088);
    writeMap(out, 0xA200, material.textureMap);
    writeMap(out, 0xA210, material.opacityMap);
    out.end();
}

void writeMesh(ChunkWriter& out, const MeshDesc& mesh) {
    out.begin(0x4000);
    out.str(mesh.name);
    out.begin(0x4100);
    out.begin(0x4110);
    out.u16(static_cast<std::uint16_t>(mesh.vertices.size()));
    for (const Vec3& v : mesh.vertices) out.vec3(v);
    out.end();
    if (!mesh.uvs.empty()) {
        out.begin(0x4140);
        out.u16(static_cast<std::uint16_t>(mesh.uvs.size()));
        for (const auto& uv : mesh.uvs) out.f32(uv[0]).f32(uv[1]);
        out.end();
    }
    if (mesh.localMatrix) {
        out.begin(0x4160);
        for (float value : *mesh.localMatrix) out.f32(value);
        out.end();
    }
    if (mesh.writeFaces) {
        out.begin(0x4120);
        out.u16(static_cast<std::uint16_t>(mesh.faces.size()));
        for (const FaceDesc& f : mesh.faces) out.u16(f.a).u16(f.b).u16(f.c).u16(f.flags);
        for (const MaterialGroupDesc& group : mesh.groups) {
            out.begin(0x4130);
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
    out.begin(0x4000);
    out.str(light.name);
    out.begin(0x4600);
    out.vec3(light.position);
    if (light.colour) writeColour(out, *light.colour);
    if (light.spot) {
        out.begin(0x4610);
        out.vec3(light.spot->target).f32(light.spot->hotspot).f32(light.spot->falloff);
        out.end();
    }
    if (light.innerRange) {
        out.begin(0x4659);
        out.f32(*light.innerRange);
        out.end();
    }
    if (light.outerRange) {
        out.begin(0x465A);
        out.f32(*light.outerRange);
        out.end();
    }
    if (light.multiplier) {
        out.begin(0x465B);
        out.f32(*light.multiplier);
        out.end();
    }
    out.end();
    out.end();
}

void writeCamera(ChunkWriter& out, const CameraDesc& camera) {
    out.begin(0x4000);
    out.str(camera.name);
    out.begin(0x4700);
    out.vec3(camera.position).vec3(camera.target).f32(camera.bank).f32(camera.lens);
    out.end();
    out.end();
}

void writeTrack(ChunkWriter& out, std::uint16_t id, const TrackDesc& track) {
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
    out.begin(static_cast<std::uint16_t>(node.kind));
    if (node.id) {
        out.begin(0xB030);
        out.i16(*node.id);
        out.end();
    }
    out.begin(0xB010);
    out.str(node.name).u16(0x4000).u16(0).i16(node.parent);
    out.end();
    if (node.instanceName) {
        out.begin(0xB011);
        out.str(*node.instanceName);
        out.end();
    }
    if (node.pivot) {
        out.begin(0xB013);
        out.vec3(*node.pivot);
        out.end();
    }
    if (node.position) writeTrack(out, 0xB020, *node.position);
    if (node.rotation) writeTrack(out, 0xB021, *node.rotation);
    if (node.scale) writeTrack(out, 0xB022, *node.scale);
    if (node.fov) writeTrack(out, 0xB023, *node.fov);
    if (node.roll) writeTrack(out, 0xB024, *node.roll);
    out.end();
}

std::vector<std::uint8_t> buildScene(const SceneDesc& scene) {
    ChunkWriter out;
    out.begin(0x4D4D);
    out.begin(0x0002);  // file version, which readers skip
    out.u32(3);
    out.end();
    out.begin(0x3D3D);
    for (const MaterialDesc& material : scene.materials) writeMaterial(out, material);
    for (const MeshDesc& mesh : scene.meshes) writeMesh(out, mesh);
    for (const LightDesc& light : scene.lights) writeLight(out, light);
    for (const CameraDesc& camera : scene.cameras) writeCamera(out, camera);
    out.end();
    if (scene.frames || !scene.nodes.empty()) {
        out.begin(0xB000);
        if (scene.frames) {
            out.begin(0xB008);
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
