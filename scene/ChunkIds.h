// The numbers of the 3D Studio file format, named once for the reader, the writer, the report
// tool and the tests.
//
//   ChunkId     every chunk id the reader or the writer knows, in groups:
//                 - the main chunk and the file version
//                 - colour and percentage sub-chunks (values that their parent chunk consumes)
//                 - the editor section: named objects with their mesh, light and camera chunks
//                 - materials with their colour, percentage, switch and map chunks
//                 - the keyframer section: frame range, node chunks and what a node holds
//   NodeTag     what the next keyframer node header does with its name, set by the node chunks
//   kSpline...  the bits of a key's spline flags word, each announcing one float after it
//
// The flags word of a track header (clamp, repeat, loop) is kept by the track itself; its bits
// are named next to the track records, in anim/Track.h.
#pragma once

#include <cstdint>

namespace quorvel {

enum class ChunkId : std::uint16_t {
    Main = 0x4D4D,     // spans the whole file; only recognised as its first chunk
    Version = 0x0002,  // file version, skipped by the reader

    ColourFloats = 0x0010,       // three floats r, g, b
    ColourBytes = 0x0011,        // three bytes r, g, b
    ColourGammaBytes = 0x0012,   // read like ColourBytes
    ColourGammaFloats = 0x0013,  // read like ColourFloats
    PercentInteger = 0x0030,     // signed 16-bit whole percentage
    PercentFloat = 0x0031,       // float fraction, unscaled

    Editor = 0x3D3D,       // materials and named objects
    NamedObject = 0x4000,  // object name, then the object's chunk
    Mesh = 0x4100,
    VertexList = 0x4110,
    FaceList = 0x4120,       // faces, then material groups
    MaterialGroup = 0x4130,  // a material's name and the numbers of its faces
    TextureCoordinates = 0x4140,
    LocalMatrix = 0x4160,  // the object's axes and origin
    Light = 0x4600,
    Spotlight = 0x4610,  // target point, hotspot and falloff of the light around it
    LightInnerRange = 0x4659,
    LightOuterRange = 0x465A,
    LightMultiplier = 0x465B,
    Camera = 0x4700,

    Material = 0xAFFF,  // one material, its name first
    MaterialName = 0xA000,
    MaterialAmbient = 0xA010,  // colour chunks hold colour sub-chunks
    MaterialDiffuse = 0xA020,
    MaterialSpecular = 0xA030,
    MaterialShininess = 0xA040,  // percentage chunks hold percentage sub-chunks
    MaterialShininessStrength = 0xA041,
    MaterialTransparency = 0xA050,
    MaterialTwoSided = 0xA081,  // switches: present means on
    MaterialAdditive = 0xA083,
    MaterialWire = 0xA085,
    MaterialFaceMap = 0xA088,
    MaterialShading = 0xA100,  // 1 is flat shading
    TextureMap = 0xA200,       // map chunks hold a strength percentage and a MapName
    OpacityMap = 0xA210,
    ReflectionMap = 0xA220,  // its name goes wherever the last texture or opacity map went
    MapName = 0xA300,

    Keyframer = 0xB000,  // frame range and one node chunk per animated node
    ObjectNode = 0xB002,
    CameraNode = 0xB003,
    CameraTargetNode = 0xB004,
    LightNode = 0xB005,
    LightTargetNode = 0xB006,
    SpotlightNode = 0xB007,
    Frames = 0xB008,        // first and last frame of the animation
    NodeHeader = 0xB010,    // name, two flag words, parent id
    InstanceName = 0xB011,  // the name of a dummy
    Pivot = 0xB013,
    PositionTrack = 0xB020,
    RotationTrack = 0xB021,
    ScaleTrack = 0xB022,
    FovTrack = 0xB023,
    RollTrack = 0xB024,
    NodeId = 0xB030,  // comes before the node header in the same node chunk
};

// Object, camera and light nodes (and light targets) find an editor object by name; spotlight and
// camera-target nodes always make a node of their own. Look-up is also the state after every node
// header and instance name.
enum class NodeTag : std::int32_t {
    Object = 0,
    Camera = 1,
    Light = 2,
    Spotlight = 3,
    CameraTarget = 4,
    LookUp = 5,
};

// Bits of a key's spline flags. The floats follow in rising bit order; the bits above the five
// named ones each announce a float that carries nothing the player uses.
constexpr std::uint16_t kSplineTension = 1u << 0;
constexpr std::uint16_t kSplineContinuity = 1u << 1;
constexpr std::uint16_t kSplineBias = 1u << 2;
constexpr std::uint16_t kSplineEaseTo = 1u << 3;
constexpr std::uint16_t kSplineEaseFrom = 1u << 4;
constexpr int kSplineParameterCount = 5;
static_assert(kSplineEaseFrom == 1u << (kSplineParameterCount - 1));

}  // namespace quorvel
