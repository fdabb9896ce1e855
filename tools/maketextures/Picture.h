// A picture of floating-point RGB texels (0..1) that can be saved as JPEG or PNG, in colour or
// as grey scale.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

struct Rgb {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

Rgb operator+(Rgb a, Rgb b);
Rgb operator*(Rgb a, float s);
Rgb operator*(Rgb a, Rgb b);
Rgb mix(Rgb a, Rgb b, float t);
float clamp01(float v);
float smoothstep(float edge0, float edge1, float x);

class Picture {
public:
    Picture(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb& at(int x, int y) { return texels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]; }
    const Rgb& at(int x, int y) const { return texels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)]; }

    // Writes the picture; the format follows the extension (.jpg or .png). grey writes one
    // channel, the red one. Returns false when the file cannot be written.
    bool save(const std::string& path, bool grey = false, int jpegQuality = 90) const;

private:
    int width_, height_;
    std::vector<Rgb> texels_;
};

}  // namespace quorvel
