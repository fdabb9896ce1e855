// Loading a large 3D Studio scene: 200 meshes of 2,000 faces each with texture coordinates,
// local matrices and two material groups, and a keyframer node per mesh with pivot, position,
// rotation and scale tracks (some keys with spline parameters), plus an animated camera.
// Reports throughput in file bytes per second and the peak heap in use while loading, against
// the file size and against the size of the loaded scene itself.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <unistd.h>

#include "scene/SceneList.h"
#include "scene/SceneReader.h"
#include "tools/3dswriter/ThreeDSWriter.h"

// Heap accounting for this program: every allocation carries its size in front of it.
namespace {

std::size_t liveBytes = 0;
std::size_t peakBytes = 0;
constexpr std::size_t kHead = 16;

void* allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHead));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    liveBytes += size;
    if (liveBytes > peakBytes) peakBytes = liveBytes;
    return block + kHead;
}

void release(void* p) noexcept {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - kHead;
    liveBytes -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace {

constexpr int kMeshes = 200;
constexpr int kColumns = 41;  // 26 x 41 vertices: 25 x 40 quads = 2,000 faces
constexpr int kRows = 26;

threeds::KeyDesc key(std::uint32_t frame, std::vector<float> value, int n) {
    threeds::KeyDesc k;
    k.frame = frame;
    k.value = std::move(value);
    if (n % 4 == 0) {  // every fourth key has tension, continuity and bias
        k.splineFlags = quorvel::kSplineTension | quorvel::kSplineContinuity | quorvel::kSplineBias;
        k.splineValues = {0.1f, -0.2f, 0.3f};
    }
    return k;
}

threeds::SceneDesc bigScene() {
    threeds::SceneDesc desc;
    for (int m = 0; m < 4; ++m) {
        threeds::MaterialDesc mat;
        mat.name = "Material" + std::to_string(m);
        mat.ambient = threeds::Colour{0.1f, 0.1f, 0.1f};
        mat.diffuse = threeds::Colour{0.8f, 0.4f, 0.2f, threeds::ColourFormat::Bytes};
        mat.specular = threeds::Colour{1, 1, 1};
        mat.shininess = 0.3f;
        mat.shininessStrength = 0.5f;
        mat.textureMap = "TEX" + std::to_string(m) + ".JPG";
        desc.materials.push_back(mat);
    }
    for (int i = 0; i < kMeshes; ++i) {
        threeds::MeshDesc mesh;
        mesh.name = "Mesh" + std::to_string(i);
        const float ox = static_cast<float>(i % 20) * 50.0f;
        const float oy = static_cast<float>(i / 20) * 50.0f;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                const float x = static_cast<float>(c), y = static_cast<float>(r);
                mesh.vertices.push_back({ox + x, oy + y, std::sin(x * 0.3f) * std::cos(y * 0.2f)});
                mesh.uvs.push_back({x / (kColumns - 1), y / (kRows - 1)});
            }
        for (int r = 0; r + 1 < kRows; ++r)
            for (int c = 0; c + 1 < kColumns; ++c) {
                const auto v = static_cast<std::uint16_t>(r * kColumns + c);
                const auto below = static_cast<std::uint16_t>(v + kColumns);
                mesh.faces.push_back({v, static_cast<std::uint16_t>(v + 1), below, 7});
                mesh.faces.push_back({static_cast<std::uint16_t>(v + 1),
                                      static_cast<std::uint16_t>(below + 1), below, 7});
            }
        threeds::MaterialGroupDesc a{"Material" + std::to_string(i % 4), {}};
        threeds::MaterialGroupDesc b{"Material" + std::to_string((i + 1) % 4), {}};
        for (int f = 0; f < static_cast<int>(mesh.faces.size()); ++f)
            (f < 1000 ? a : b).faces.push_back(static_cast<std::int16_t>(f));
        mesh.groups = {a, b};
        mesh.localMatrix = std::array<float, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, ox, oy, 0};
        desc.meshes.push_back(std::move(mesh));
    }
    desc.cameras = {{"Camera01", {0, -500, 200}, {500, 250, 0}}};
    threeds::LightDesc light;
    light.name = "Light01";
    light.position = {500, 250, 400};
    light.colour = threeds::Colour{1, 1, 1};
    desc.lights = {light};

    desc.frames = std::array<std::int32_t, 2>{0, 500};
    for (int i = 0; i < kMeshes; ++i) {
        threeds::NodeDesc node;
        node.id = static_cast<std::int16_t>(i);
        node.name = "Mesh" + std::to_string(i);
        node.parent = static_cast<std::int16_t>(i < 10 ? -1 : i % 10);
        node.pivot = threeds::Vec3{20, 12, 0};
        threeds::TrackDesc pos, rot, scale;
        for (int k = 0; k < 50; ++k) {
            const float t = static_cast<float>(k);
            pos.keys.push_back(key(static_cast<std::uint32_t>(k * 10), {t, t * 2, t * 0.5f}, k));
            rot.keys.push_back(key(static_cast<std::uint32_t>(k * 10), {0.1f, 0, 0, 1}, k));
        }
        for (int k = 0; k < 20; ++k)
            scale.keys.push_back(key(static_cast<std::uint32_t>(k * 25), {1, 1, 1 + 0.01f * k}, k));
        node.position = pos;
        node.rotation = rot;
        node.scale = scale;
        desc.nodes.push_back(std::move(node));
    }
    threeds::NodeDesc cam;
    cam.kind = threeds::NodeKind::Camera;
    cam.id = static_cast<std::int16_t>(kMeshes);
    cam.name = "Camera01";
    threeds::TrackDesc fov, roll;
    for (int k = 0; k < 50; ++k) {
        fov.keys.push_back(key(static_cast<std::uint32_t>(k * 10), {45.0f + k}, 1));
        roll.keys.push_back(key(static_cast<std::uint32_t>(k * 10), {0.5f * k}, 1));
    }
    cam.fov = fov;
    cam.roll = roll;
    desc.nodes.push_back(cam);
    return desc;
}

std::size_t sceneDataBytes(const Scene& scene) {
    std::size_t bytes = 0;
    auto nodeTracks = [](const SceneNode& n) {
        return n.positionTrack.keys.size() * sizeof(VectorKey) +
               n.scaleTrack.keys.size() * sizeof(VectorKey) +
               n.rotationTrack.keys.size() * sizeof(RotationKey);
    };
    for (const Mesh* m : scene.meshes) {
        bytes += sizeof(Mesh) + m->vertices.size() * sizeof(Vertex) + m->faces.size() * sizeof(Face) +
                 nodeTracks(*m);
        for (const FaceGroup* g : m->faceGroups) bytes += sizeof(FaceGroup) + g->faces.size() * sizeof(Face);
    }
    for (const Camera* c : scene.cameras)
        bytes += sizeof(Camera) + nodeTracks(*c) +
                 (c->fovTrack.keys.size() + c->rollTrack.keys.size()) * sizeof(ScalarKey);
    return bytes;
}

struct Fixture {
    std::vector<std::uint8_t> bytes = threeds::buildScene(bigScene());
    std::string folder;
    Fixture() {
        char pattern[] = "/tmp/quorvel-scene-bench-XXXXXX";
        folder = mkdtemp(pattern);
        threeds::saveFile(folder + "/big.3ds", bytes);
        SceneList::setBasePath(folder + "/");
    }
    ~Fixture() {
        std::remove((folder + "/big.3ds").c_str());
        rmdir(folder.c_str());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Runs load once per iteration over the fixture's file; load gives the size of the scene data it
// loaded, or nothing when loading failed. Reports the bytes read per second and the heap the loads
// took at their peak, per file byte and per byte of scene data.
template <class Load>
void measureLoads(benchmark::State& state, Load load) {
    const Fixture& f = fixture();
    std::size_t dataBytes = 0;
    const std::size_t baseline = liveBytes;
    peakBytes = liveBytes;
    for (auto _ : state) {
        const std::optional<std::size_t> loaded = load(f);
        if (!loaded) {
            state.SkipWithError("scene did not load");
            break;
        }
        dataBytes = *loaded;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.bytes.size()));
    const auto peak = static_cast<double>(peakBytes - baseline);
    state.counters["file_MB"] = static_cast<double>(f.bytes.size()) / 1e6;
    state.counters["scene_MB"] = static_cast<double>(dataBytes) / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_per_file"] = peak / static_cast<double>(f.bytes.size());
    state.counters["peak_per_scene"] = peak / static_cast<double>(dataBytes);
}

void BM_LoadSceneFromFile(benchmark::State& state) {
    measureLoads(state, [](const Fixture&) -> std::optional<std::size_t> {
        SceneList list;
        Scene* scene = list.loadScene("big.3ds");
        if (!scene) return std::nullopt;
        benchmark::DoNotOptimize(scene);
        return sceneDataBytes(*scene);
    });
}
BENCHMARK(BM_LoadSceneFromFile)->Unit(benchmark::kMillisecond);

void BM_LoadSceneFromMemory(benchmark::State& state) {
    measureLoads(state, [](const Fixture& f) -> std::optional<std::size_t> {
        SceneReader scene;
        scene.openMemory(f.bytes.data(), f.bytes.size());
        benchmark::DoNotOptimize(&scene);
        return sceneDataBytes(scene);
    });
}
BENCHMARK(BM_LoadSceneFromMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
