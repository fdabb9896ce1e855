// colour_count IMAGE R G B [TOLERANCE]: prints how many pixels of a picture file are within
// TOLERANCE (default 8) of the colour in every channel. Used by the shell tests on captured frames.
#include <cstdio>
#include <cstdlib>

#include <stb_image.h>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: colour_count IMAGE R G B [TOLERANCE]\n");
        return 2;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(argv[1], &width, &height, &channels, 3);
    if (pixels == nullptr) {
        std::fprintf(stderr, "colour_count: cannot read %s\n", argv[1]);
        return 2;
    }
    const int want[3] = {std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])};
    const int tolerance = argc > 5 ? std::atoi(argv[5]) : 8;
    long count = 0;
    for (long i = 0; i < static_cast<long>(width) * height; ++i) {
        bool match = true;
        for (int c = 0; c < 3; ++c) match = match && std::abs(pixels[i * 3 + c] - want[c]) <= tolerance;
        count += match ? 1 : 0;
    }
    stbi_image_free(pixels);
    std::printf("%ld\n", count);
    return 0;
}
