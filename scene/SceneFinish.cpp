// Finishing a scene after its file is read: node hierarchy, object-space vertices, vertex
// normals, camera targets and light ranges.
#include <unordered_map>

#include "scene/SceneReader.h"

void SceneReader::finish() {
    linkHierarchy();

    for (Mesh* mesh : meshes) {
        const D3DVECTOR pivot = mesh->pivot;
        for (Vertex& vertex : mesh->vertices) {
            vertex.position.x -= pivot.x;
            vertex.position.y -= pivot.y;
            vertex.position.z -= pivot.z;
        }
        computeNormals(*mesh);
    }

    for (Camera* camera : cameras)
        for (SceneNode* target : cameraTargets)
            if (target->name == camera->name) camera->target = target;  // the last match wins

    for (Light* light : lights) {
        light->innerRange *= 0.1f;
        light->outerRange *= 0.1f;
        light->range = light->innerRange;
    }
}

// Every node whose parentId is -1 becomes a root and takes, depth first, the nodes whose parentId
// is its nodeId as children, in creation order. A node id may be repeated: every node bearing it
// then takes the same children, and a child's parent is the node that linked it last. A node
// that is the linking node itself or one of its ancestors is skipped, so loops made by repeated
// ids end. Each node links its own children once only; meeting it again under another parent
// only re-parents it, which keeps children lists free of duplicates and the work linear.
void SceneReader::linkHierarchy() {
    const std::vector<SceneNode*> nodes = roots;  // every node, in creation order

    std::unordered_map<std::int32_t, std::vector<SceneNode*>> byParentId;
    for (SceneNode* node : nodes)
        if (node->parentId != -1) byParentId[node->parentId].push_back(node);

    struct Progress {
        bool linked = false;
        bool onPath = false;  // the node or one of its ancestors in the linking under way
    };
    std::unordered_map<const SceneNode*, Progress> progress;
    progress.reserve(nodes.size());

    static const std::vector<SceneNode*> kNoChildren;
    auto candidatesOf = [&](const SceneNode* node) -> const std::vector<SceneNode*>& {
        if (node->nodeId == -1) return kNoChildren;  // -1 is the parent id of roots
        const auto found = byParentId.find(node->nodeId);
        return found == byParentId.end() ? kNoChildren : found->second;
    };

    // Explicit stack instead of recursion: a long chain of nodes cannot exhaust the call stack.
    // The stack is exactly the path from the root being linked to the node being linked.
    struct Frame {
        SceneNode* node;
        const std::vector<SceneNode*>* candidates;
        std::size_t next;
    };
    std::vector<Frame> path;
    std::vector<SceneNode*> newRoots;

    for (SceneNode* root : nodes) {
        if (root->parentId != -1) continue;
        progress[root] = {true, true};
        path.push_back({root, &candidatesOf(root), 0});
        while (!path.empty()) {
            Frame& frame = path.back();
            if (frame.next == frame.candidates->size()) {
                progress[frame.node].onPath = false;
                path.pop_back();
                continue;
            }
            SceneNode* child = (*frame.candidates)[frame.next++];
            Progress& state = progress[child];
            if (state.onPath) continue;
            child->parent = frame.node;
            frame.node->children.push_back(child);
            if (!state.linked) {
                state = {true, true};
                path.push_back({child, &candidatesOf(child), 0});
            }
        }
        newRoots.push_back(root);
    }
    roots = std::move(newRoots);
}

void SceneReader::computeNormals(Mesh& mesh) {
    auto& vertices = mesh.vertices;
    for (const Face& face : mesh.faces) {
        if (!faceInRange(face, vertices.size())) continue;
        const D3DVECTOR& a = vertices[face.index[0]].position;
        const D3DVECTOR& b = vertices[face.index[1]].position;
        const D3DVECTOR& c = vertices[face.index[2]].position;
        const D3DXVECTOR3 d1(b.x - a.x, b.y - a.y, b.z - a.z);
        const D3DXVECTOR3 d2(c.x - a.x, c.y - a.y, c.z - a.z);
        D3DXVECTOR3 n(d1.y * d2.z - d1.z * d2.y, d1.z * d2.x - d1.x * d2.z,
                      d1.x * d2.y - d1.y * d2.x);
        D3DXVec3Normalize(&n, &n);
        for (std::uint16_t index : face.index) {
            D3DVECTOR& normal = vertices[index].normal;
            normal.x += n.x;
            normal.y += n.y;
            normal.z += n.z;
        }
    }
    // Unweighted average of the faces' unit normals; a vertex of no face stays (0, 0, 0).
    for (Vertex& vertex : vertices) {
        D3DXVECTOR3 n(vertex.normal.x, vertex.normal.y, vertex.normal.z);
        D3DXVec3Normalize(&n, &n);
        vertex.normal = n;
    }
}
