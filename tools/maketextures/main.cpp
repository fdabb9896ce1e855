// maketextures: writes the bundled show's textures into a folder (demo/data by default).
#include <cstdio>
#include <string>

#include "tools/maketextures/Textures.h"

int main(int argc, char** argv) {
    using namespace quorvel;
    const std::string folder = argc > 1 ? argv[1] : "demo/data";
    struct Output {
        const char* name;
        Picture (*make)();
        bool grey;
    };
    const Output outputs[] = {
        {"panel.jpg", metalPanels, false},   {"planet.jpg", gasGiant, false},
        {"moon.jpg", moonSurface, false},    {"ring.png", ringColour, false},
        {"ringa.png", ringOpacity, true},    {"grida.png", gridOpacity, true},
        {"logo.jpg", titleColour, false},    {"logoa.png", titleOpacity, true},
    };
    for (const Output& out : outputs) {
        const std::string path = folder + "/" + out.name;
        if (!out.make().save(path, out.grey)) {
            std::fprintf(stderr, "maketextures: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("maketextures: %s\n", path.c_str());
    }
    return 0;
}
