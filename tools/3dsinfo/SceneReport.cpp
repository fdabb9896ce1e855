#include "tools/3dsinfo/SceneReport.h"

#include <cstdio>
#include <string>
#include <unordered_set>

namespace quorvel {

namespace {

const char* typeName(NodeType type) {
    switch (type) {
        case NodeType::Mesh: return "mesh";
        case NodeType::Camera: return "camera";
        case NodeType::Light: return "light";
        case NodeType::Spotlight: return "spotlight";
        case NodeType::CameraTarget: return "camera target";
        case NodeType::Dummy: return "dummy";
    }
    return "unknown";
}

std::string format(const char* fmt, double a, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, fmt, a, b, c);
    return text;
}

std::string vec(const D3DVECTOR& v) { return format("(%g, %g, %g)", v.x, v.y, v.z); }
std::string rgb(const ColourValue& c) { return format("(%.3f, %.3f, %.3f)", c.r, c.g, c.b); }
std::string quoted(const std::string& s) { return "\"" + s + "\""; }

const char* trackEnds(std::int32_t flags) {
    if (trackLoops(flags)) return ", loop";
    return trackRepeats(flags) ? ", repeat" : ", clamped";
}

template <class Track>
std::string trackSummary(const Track& track) {
    if (track.keyCount == 0) return "none";
    return std::to_string(track.keyCount) + " keys, frames " +
           format("%g..%g", track.firstFrame, track.lastFrame) + trackEnds(track.flags);
}

void printTracks(std::ostream& out, const SceneNode& node, const std::string& indent) {
    out << indent << "  position track: " << trackSummary(node.positionTrack) << "\n";
    out << indent << "  rotation track: " << trackSummary(node.rotationTrack) << "\n";
    out << indent << "  scale track:    " << trackSummary(node.scaleTrack) << "\n";
    if (node.type == NodeType::Camera) {
        const auto& camera = static_cast<const Camera&>(node);
        out << indent << "  fov track:      " << trackSummary(camera.fovTrack) << "\n";
        out << indent << "  roll track:     " << trackSummary(camera.rollTrack) << "\n";
    }
}

void printNode(std::ostream& out, const SceneNode& node, int depth,
               std::unordered_set<const SceneNode*>& shown) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out << indent << "- " << typeName(node.type) << " " << quoted(node.name) << "  id " << node.nodeId
        << ", parent id " << node.parentId;
    if (!shown.insert(&node).second) {
        out << "  (listed above)\n";  // reached again through a repeated node id
        return;
    }
    out << ", pivot " << vec(node.pivot) << "\n";
    printTracks(out, node, indent);
    for (const SceneNode* child : node.children) printNode(out, *child, depth + 1, shown);
}

}  // namespace

void printSceneReport(std::ostream& out, const Scene& scene) {
    out << "frames " << scene.startFrame << ".." << scene.endFrame << "\n";
    out << scene.meshes.size() << " meshes, " << scene.cameras.size() << " cameras, "
        << scene.lights.size() << " lights, " << scene.materials.size() << " materials, "
        << scene.cameraTargets.size() << " camera targets, " << scene.spotlights.size()
        << " spotlight nodes, " << scene.dummies.size() << " dummies\n";

    out << "\nmaterials:\n";
    for (std::size_t i = 0; i < scene.materials.size(); ++i) {
        const Material& m = *scene.materials[i];
        out << "  [" << i << "] " << quoted(m.name) << "\n";
        out << "      ambient " << rgb(m.ambient) << " diffuse " << rgb(m.diffuse) << " specular "
            << rgb(m.specular) << "\n";
        out << "      shininess " << m.shininess << " strength " << m.shininessStrength
            << " transparency " << m.transparency << "\n";
        out << "      flags:" << (m.flatShading ? " flat" : "") << (m.wire ? " wire" : "")
            << (m.twoSided ? " two-sided" : "") << (m.additive ? " additive" : "")
            << (m.faceMap ? " face-map" : "") << "\n";
        if (!m.textureMap.empty()) out << "      texture map " << quoted(m.textureMap) << "\n";
        if (!m.opacityMap.empty()) out << "      opacity map " << quoted(m.opacityMap) << "\n";
    }

    out << "\nmeshes:\n";
    for (const Mesh* mesh : scene.meshes) {
        std::size_t outOfRange = 0;
        for (const Face& f : mesh->faces) outOfRange += faceInRange(f, mesh->vertices.size()) ? 0 : 1;
        out << "  " << quoted(mesh->name) << ": " << mesh->vertices.size() << " vertices, "
            << mesh->faces.size() << " faces, " << mesh->faceGroups.size() << " groups\n";
        if (outOfRange) out << "      WARNING: " << outOfRange << " faces name missing vertices\n";
        for (const FaceGroup* g : mesh->faceGroups) {
            out << "      group of " << g->faces.size() << " faces: ";
            if (g->materialIndex < 0)
                out << "no material assigned\n";
            else if (static_cast<std::size_t>(g->materialIndex) >= scene.materials.size())
                out << "WARNING: unknown material (index " << g->materialIndex << ")\n";
            else
                out << "material " << quoted(scene.materials[static_cast<std::size_t>(g->materialIndex)]->name) << "\n";
        }
    }

    out << "\ncameras:\n";
    for (const Camera* c : scene.cameras)
        out << "  " << quoted(c->name) << " at " << vec(c->position) << " looking at "
            << vec(c->targetPosition) << (c->target ? ", target node linked" : ", no target node")
            << "\n";

    out << "\nlights:\n";
    for (const Light* l : scene.lights) {
        out << "  " << quoted(l->name) << " at " << vec(l->position) << " colour " << rgb(l->colour)
            << " range " << l->range << " (outer " << l->outerRange << ") multiplier "
            << l->multiplier << "\n";
        if (l->isSpot)
            out << "      spot towards " << vec(l->targetPosition) << " hotspot " << l->hotspot
                << " falloff " << l->falloff << "\n";
    }

    out << "\nhierarchy:\n";
    std::unordered_set<const SceneNode*> shown;
    for (const SceneNode* root : scene.roots) printNode(out, *root, 1, shown);
    // Nodes whose parent id names no node are in no tree; say so, they are never drawn posed.
    auto reportUnlinked = [&](const auto& list) {
        for (const SceneNode* n : list)
            if (!shown.count(n))
                out << "  unlinked " << typeName(n->type) << " " << quoted(n->name)
                    << ": parent id " << n->parentId << " names no node\n";
    };
    reportUnlinked(scene.meshes);
    reportUnlinked(scene.cameras);
    reportUnlinked(scene.lights);
    reportUnlinked(scene.cameraTargets);
    reportUnlinked(scene.spotlights);
    reportUnlinked(scene.dummies);
}

}  // namespace quorvel
