// How much of a picture is not the given colour: png_coverage FILE.png R G B
// Prints the percentage (0 to 100) of pixels differing from (R, G, B) by more than 24 in a channel.
#include <cstdio>
#include <cstdlib>

#include <stb_image.h>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: png_coverage FILE.png R G B\n");
        return 2;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(argv[1], &width, &height, &channels, 3);
    if (!pixels) {
        std::fprintf(stderr, "png_coverage: cannot read %s\n", argv[1]);
        return 1;
    }
    const int colour[3] = {std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])};
    long differing = 0;
    const long count = static_cast<long>(width) * height;
    for (long i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(pixels[i * 3 + c] - colour[c]) > 24) {
                ++differing;
                break;
            }
        }
    }
    stbi_image_free(pixels);
    std::printf("%ld\n", count > 0 ? differing * 100 / count : 0);
    return 0;
}
