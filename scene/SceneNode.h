// Nodes of a loaded 3D Studio scene: the common node record and the mesh, camera and light kinds.
// The scene player plug-in reads and writes these records directly, so their field order and
// widths are fixed and both deliverables compile them from this header.
//
// Coordinates are left-handed and Y-up; matrices are row-major and used with row vectors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "anim/Track.h"
#include "platform/d3d8/d3d8types.h"
#include "platform/d3dx8/d3dx8math.h"
#include "scene/Material.h"

// One vertex as the player copies it into a position + normal + texture coordinate buffer.
struct Vertex {
    D3DVECTOR position;  // object space after loading
    D3DVECTOR normal;    // unit length after finishing, (0, 0, 0) for a vertex of no face
    float u;
    float v;  // the file's v negated
};

// Three indices into the mesh's vertex array, in the file's order reversed. Indices are not
// checked against the vertex count when read: anything that follows them into the vertex array
// must check first (see faceInRange).
struct Face {
    std::uint16_t index[3];
};

static_assert(sizeof(Vertex) == 32, "vertices are copied verbatim into vertex buffers");
static_assert(sizeof(Face) == 6, "faces are copied verbatim into index buffers");

inline bool faceInRange(const Face& face, std::size_t vertexCount) {
    return face.index[0] < vertexCount && face.index[1] < vertexCount &&
           face.index[2] < vertexCount;
}

// The faces of one mesh drawn with one material.
struct FaceGroup {
    std::vector<Face> faces;  // copies of the mesh's faces
    // Index into Scene::materials. -1: the group of all faces before any material was assigned.
    // An index at or above the material count names a material that does not exist.
    std::int32_t materialIndex = -1;
};

enum class NodeType : std::int32_t {
    Mesh = 0,
    Camera = 1,
    Light = 2,
    Spotlight = 3,
    CameraTarget = 4,
    Dummy = 5,
};

// Nodes are owned by the scene's type lists; parent and children are views into those nodes.
// Spotlight, camera-target and dummy nodes are plain SceneNode objects.
struct SceneNode {
    SceneNode(NodeType nodeType, std::string nodeName);
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    NodeType type;
    std::string name;
    std::int32_t nodeId = -1;
    std::int32_t parentId = -1;  // -1 marks a root
    D3DXMATRIX world;            // identity until the player poses the node
    SceneNode* parent = nullptr;
    D3DVECTOR pivot{0.0f, 0.0f, 0.0f};
    D3DVECTOR position{0.0f, 0.0f, 0.0f};
    VectorTrack positionTrack;
    VectorTrack scaleTrack;
    RotationTrack rotationTrack;
    std::vector<SceneNode*> children;
};

struct Mesh : SceneNode {
    explicit Mesh(std::string meshName);
    ~Mesh();

    std::vector<FaceGroup*> faceGroups;  // owned
    std::vector<Vertex> vertices;
    std::vector<Face> faces;  // every face in file order; the groups hold copies

    // Destroys every face group and empties the list.
    void clearFaceGroups();
};

struct Camera : SceneNode {
    explicit Camera(std::string cameraName);

    float fov = 90.0f;  // degrees
    float roll = 0.0f;  // degrees
    D3DVECTOR targetPosition{0.0f, 0.0f, 0.0f};
    SceneNode* target = nullptr;  // the camera-target node of the same name, if any
    ScalarTrack fovTrack;
    ScalarTrack rollTrack;  // values already negated
};

struct Light : SceneNode {
    explicit Light(std::string lightName);

    D3DVECTOR targetPosition{0.0f, 0.0f, 0.0f};  // spotlights only
    float range = 0.0f;
    float multiplier = 0.0f;
    float innerRange = 0.0f;
    float outerRange = 0.0f;
    float hotspot = 0.0f;  // degrees
    float falloff = 0.0f;  // degrees
    ColourValue colour;
    std::uint8_t isSpot = 0;
    SceneNode* spotTarget = nullptr;  // never set by the loader; consumers must cope with null
};
