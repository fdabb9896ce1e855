// A plug-in library that acts the moment it is loaded, before the engine calls anything in it:
// its constructor writes the file that QUORVEL_EVIL_MARKER names. Whether that file exists tells
// whether the library was loaded at all.
#include <cstdio>
#include <cstdlib>

__attribute__((constructor)) static void markLoaded() {
    const char* path = std::getenv("QUORVEL_EVIL_MARKER");
    if (!path) return;
    if (std::FILE* marker = std::fopen(path, "w")) {
        std::fputs("loaded\n", marker);
        std::fclose(marker);
    }
}
