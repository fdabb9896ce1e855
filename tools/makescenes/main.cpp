// makescenes: writes the bundled show's scenes, orrery.3ds and tunnel.3ds, into a folder
// (demo/data by default).
#include <cstdio>
#include <string>

#include "tools/makescenes/Scenes.h"

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "demo/data";
    struct Output {
        const char* name;
        threeds::SceneDesc (*make)();
    };
    const Output outputs[] = {{"orrery.3ds", quorvel::orreryScene}, {"tunnel.3ds", quorvel::tunnelScene}};
    for (const Output& out : outputs) {
        const std::string path = folder + "/" + out.name;
        const auto bytes = threeds::buildScene(out.make());
        if (!threeds::saveFile(path, bytes)) {
            std::fprintf(stderr, "makescenes: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("makescenes: %s, %zu bytes\n", path.c_str(), bytes.size());
    }
    return 0;
}
