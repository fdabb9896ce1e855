// 3dsinfo FILE...: loads each 3D Studio file the way the engine does and prints what it holds.
// The reader's key debug lines appear only with QUORVEL_DEBUG=1, like everywhere else.
#include <cstring>
#include <iostream>
#include <string>

#include "scene/SceneList.h"
#include "tools/3dsinfo/SceneReport.h"

namespace {

constexpr const char* kUsage = "usage: 3dsinfo FILE...\n";

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    // --quiet was needed while the key diagnostics always reached stderr; it is still accepted.
    if (argc > 1 && std::strcmp(argv[1], "--quiet") == 0) first = 2;
    if (first < argc && (std::strcmp(argv[first], "--help") == 0 ||
                         std::strcmp(argv[first], "-h") == 0)) {
        std::cout << kUsage
                  << "Prints the nodes, meshes, materials, cameras, lights and tracks of each "
                     "3D Studio file.\n";
        return 0;
    }
    if (first >= argc) {
        std::cerr << kUsage;
        return 2;
    }
    int status = 0;
    SceneList list;
    for (int i = first; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::cerr << "3dsinfo: unknown option " << argv[i] << "\n" << kUsage;
            return 2;
        }
        const Scene* scene = list.loadScene(argv[i]);
        if (!scene) {
            std::cerr << "3dsinfo: cannot open " << argv[i] << "\n";
            status = 1;
            continue;
        }
        std::cout << "== " << argv[i] << "\n";
        quorvel::printSceneReport(std::cout, *scene);
    }
    return status;
}
