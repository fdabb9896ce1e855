// 3dsinfo FILE...: loads each 3D Studio file the way the engine does and prints what it holds.
// The reader's key debug lines go to the debug channel (stderr); --quiet drops them.
#include <cstring>
#include <iostream>
#include <string>

#include "platform/win/TestSinks.h"
#include "scene/SceneList.h"
#include "tools/3dsinfo/SceneReport.h"

int main(int argc, char** argv) {
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--quiet") == 0) {
        quorvel::platform::setDebugOutputSink([](const std::string&) {});
        first = 2;
    }
    if (first >= argc) {
        std::cerr << "usage: 3dsinfo [--quiet] FILE...\n";
        return 2;
    }
    int status = 0;
    SceneList list;
    for (int i = first; i < argc; ++i) {
        const Scene* scene = list.loadScene(argv[i]);
        if (!scene) {
            std::cerr << "3dsinfo: cannot open " << argv[i] << "\n";
            status = 1;
            continue;
        }
        std::cout << "== " << argv[i] << "\n";
        printSceneReport(std::cout, *scene);
    }
    return status;
}
