// Compares two PNG pictures: they match when they have the same size and at most `--max-share`
// of their pixels differ by more than `--tolerance` in any channel.
// Usage: frame_compare ACTUAL EXPECTED [--tolerance N] [--max-share FRACTION]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <stb_image.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: frame_compare ACTUAL EXPECTED [--tolerance N] [--max-share FRACTION]\n");
        return 2;
    }
    int tolerance = 8;
    double maxShare = 0.002;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--tolerance") == 0) tolerance = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--max-share") == 0) maxShare = std::atof(argv[i + 1]);
    }
    int w1, h1, w2, h2, n;
    unsigned char* actual = stbi_load(argv[1], &w1, &h1, &n, 4);
    unsigned char* expected = stbi_load(argv[2], &w2, &h2, &n, 4);
    if (!actual || !expected) {
        std::fprintf(stderr, "frame_compare: cannot read %s\n", !actual ? argv[1] : argv[2]);
        return 1;
    }
    if (w1 != w2 || h1 != h2) {
        std::fprintf(stderr, "frame_compare: %s is %dx%d, %s is %dx%d\n", argv[1], w1, h1, argv[2], w2, h2);
        return 1;
    }
    long differing = 0;
    int largest = 0;
    for (long p = 0; p < static_cast<long>(w1) * h1; ++p) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(actual[p * 4 + c] - expected[p * 4 + c]));
        largest = std::max(largest, worst);
        if (worst > tolerance) ++differing;
    }
    const double share = static_cast<double>(differing) / (static_cast<double>(w1) * h1);
    std::printf("%s: %ld pixels (%.4f%%) differ by more than %d, largest difference %d\n", argv[1], differing,
                share * 100.0, tolerance, largest);
    stbi_image_free(actual);
    stbi_image_free(expected);
    return share <= maxShare ? 0 : 1;
}
