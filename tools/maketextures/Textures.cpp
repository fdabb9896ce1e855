#include "tools/maketextures/Textures.h"

#include <algorithm>
#include <cmath>

#include "tools/maketextures/Noise.h"
#include "tools/maketextures/StrokeFont.h"

namespace quorvel {

namespace {

constexpr float kPi = 3.14159265f;
constexpr const char* kTitle = "QUORVEL";

// Distance from x to the nearest multiple of period, in the same units.
float distanceToLine(float x, float period) {
    const float m = std::fmod(x, period);
    return std::min(m, period - m);
}

}  // namespace

Picture metalPanels() {
    const int size = 256, cell = 64;
    Picture pic(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / size, v = float(y) / size;
            const int px = x / cell, py = y / cell;
            // Brushed grain: fine along one axis, coarse along the other; alternate panels run
            // their grain the other way.
            const bool turned = (px + py) % 2 == 1;
            const float grain = turned ? fractalNoise(u, v, 64, 2, 3, 11) : fractalNoise(u, v, 2, 64, 3, 11);
            const float tint = latticeValue(px, py, 5) * 0.12f - 0.06f;
            const float grime = fractalNoise(u, v, 4, 4, 4, 23);
            Rgb c = Rgb{0.50f, 0.54f, 0.60f} * (0.8f + 0.35f * grain + tint - 0.25f * smoothstep(0.55f, 0.8f, grime));

            // Grooves between panels with a bevel: lit on the upper-left, shaded on the lower-right.
            const int lx = x % cell, ly = y % cell;
            const int edge = std::min(std::min(lx, cell - 1 - lx), std::min(ly, cell - 1 - ly));
            if (edge < 2) c = c * 0.25f;
            else if (edge < 4) c = (lx < 4 || ly < 4) ? c * 1.35f : c * 0.65f;

            // Rivets near the corners: small domes lit from the upper-left.
            for (int cy : {7, cell - 8})
                for (int cx : {7, cell - 8}) {
                    const float dx = float(lx - cx), dy = float(ly - cy);
                    const float d = std::sqrt(dx * dx + dy * dy);
                    if (d < 3.2f) c = Rgb{0.62f, 0.64f, 0.68f} * (1.25f - 0.12f * (dx + dy));
                    else if (d < 4.2f) c = c * 0.55f;
                }

            // Every fifth panel carries a vent of horizontal slots.
            if (latticeValue(px, py, 9) < 0.22f && lx > 16 && lx < cell - 16 && ly > 16 && ly < cell - 16) {
                const int slot = (ly - 16) % 8;
                if (slot < 3) c = Rgb{0.05f, 0.06f, 0.08f};
                else if (slot == 3) c = c * 1.3f;
            }
            pic.at(x, y) = c;
        }
    }
    return pic;
}

Picture gasGiant() {
    const int w = 256, h = 128;
    Picture pic(w, h);
    const Rgb cream{0.93f, 0.8f, 0.58f}, tan{0.78f, 0.5f, 0.27f}, rust{0.6f, 0.24f, 0.1f}, haze{0.55f, 0.64f, 0.78f};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float u = float(x) / w, v = float(y) / h;
            const float turbulence = fractalNoise(u, v, 8, 4, 5, 31);
            const float lat = v + 0.06f * (turbulence - 0.5f);
            const float band = 0.5f + 0.5f * std::sin(lat * kPi * 9.0f + 2.0f * std::sin(lat * kPi * 3.0f));
            const float fine = 0.5f + 0.5f * std::sin(lat * kPi * 31.0f);
            Rgb c = mix(cream, tan, band);
            c = mix(c, rust, 0.35f * fine * band);
            // Paler, bluish polar regions.
            c = mix(c, haze, smoothstep(0.32f, 0.48f, std::fabs(v - 0.5f)));
            // The storm: an oval eddy south of the equator.
            const float dx = (u - 0.3f) / 0.09f, dy = (v - 0.64f) / 0.045f;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < 1.6f) {
                const float swirl = 0.5f + 0.5f * std::sin(d * 9.0f - std::atan2(dy, dx) * 2.0f);
                const Rgb storm = mix(Rgb{0.78f, 0.3f, 0.16f}, Rgb{0.95f, 0.7f, 0.5f}, swirl * 0.6f);
                c = mix(c, storm, 1.0f - smoothstep(0.9f, 1.6f, d));
            }
            pic.at(x, y) = c * (0.9f + 0.2f * turbulence);
        }
    }
    return pic;
}

Picture moonSurface() {
    const int size = 128;
    Picture pic(size, size);
    struct Crater {
        float x, y, r;
    };
    std::vector<Crater> craters;
    for (int i = 0; i < 28; ++i)
        craters.push_back({latticeValue(i, 1, 77) * size, 12.0f + latticeValue(i, 2, 77) * (size - 24),
                           2.5f + 11.0f * std::pow(latticeValue(i, 3, 77), 2.5f)});
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / size, v = float(y) / size;
            float shade = 0.45f + 0.35f * fractalNoise(u, v, 4, 4, 5, 41);
            // Dark lowland seas.
            shade -= 0.18f * smoothstep(0.55f, 0.7f, fractalNoise(u, v, 2, 2, 3, 43));
            for (const Crater& c : craters) {
                float dx = float(x) - c.x;
                dx -= size * std::round(dx / size);  // wrap around the sphere's seam
                const float dy = float(y) - c.y;
                const float d = std::sqrt(dx * dx + dy * dy) / c.r;
                if (d < 1.0f) shade *= 0.72f + 0.1f * d;  // floor
                else if (d < 1.35f) shade += 0.16f * (1.0f - (dx + dy) / (c.r * 1.9f)) * (1.35f - d) / 0.35f;  // rim, lit from one side
            }
            const float s = std::clamp(shade, 0.0f, 1.0f);
            pic.at(x, y) = Rgb{s, s * 0.98f, s * 0.95f};
        }
    }
    return pic;
}

// The ring's 256 x 8 band: every column one colour, shaded from t = 0 at the inner edge to 1
// at the outer.
template <class Shade>
Picture ringBand(Shade shade) {
    const int w = 256, h = 8;
    Picture pic(w, h);
    for (int x = 0; x < w; ++x) {
        const Rgb c = shade(float(x) / (w - 1));
        for (int y = 0; y < h; ++y) pic.at(x, y) = c;
    }
    return pic;
}

Picture ringColour() {
    return ringBand([](float t) {
        Rgb c = mix(Rgb{0.75f, 0.68f, 0.6f}, Rgb{0.95f, 0.88f, 0.72f}, 0.5f + 0.5f * std::sin(t * 23.0f));
        return mix(c, Rgb{0.6f, 0.72f, 0.85f}, smoothstep(0.7f, 1.0f, t) * 0.6f);
    });
}

Picture ringOpacity() {
    return ringBand([](float t) {
        float a = 0.55f + 0.25f * std::sin(t * 47.0f) + 0.15f * std::sin(t * 131.0f + 1.0f);
        a *= smoothstep(0.0f, 0.08f, t) * (1.0f - smoothstep(0.9f, 1.0f, t));  // soft edges
        a *= smoothstep(0.02f, 0.05f, std::fabs(t - 0.62f));                  // the wide gap
        a *= 0.4f + 0.6f * smoothstep(0.005f, 0.015f, std::fabs(t - 0.33f));  // a thin gap
        return Rgb{a, a, a};
    });
}

Picture gridOpacity() {
    const int size = 128;
    Picture pic(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Texel centres, measured from the cell border, which lies on the texture's edges.
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float d = std::min(distanceToLine(px, float(size)), distanceToLine(py, float(size)));
            const float line = 1.0f - smoothstep(1.5f, 3.0f, d);
            const float glow = 0.45f * std::exp(-d / 7.0f);
            // A faint dot in the middle of the cell.
            const float cx = px - size * 0.5f, cy = py - size * 0.5f;
            const float dot = 0.6f * (1.0f - smoothstep(2.0f, 4.0f, std::sqrt(cx * cx + cy * cy)));
            const float a = std::min(1.0f, line + glow + dot);
            pic.at(x, y) = Rgb{a, a, a};
        }
    }
    return pic;
}

// The title's 512 x 128 picture: each pixel shaded from its distance d to the nearest letter
// stroke and its height v (0 at the top, 1 at the foot).
template <class Shade>
Picture titlePicture(Shade shade) {
    const int w = 512, h = 128;
    Picture pic(w, h);
    const auto strokes = layoutText(kTitle, w, h, 80.0f, 52.0f, 12.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pic.at(x, y) = shade(distanceToStrokes(strokes, x + 0.5f, y + 0.5f), float(y) / h);
    return pic;
}

Picture titleColour() {
    return titlePicture([](float d, float v) {
        // Polished gold: a bright band across the upper middle, darker towards the foot.
        Rgb gold = mix(Rgb{1.0f, 0.93f, 0.62f}, Rgb{0.85f, 0.45f, 0.12f}, smoothstep(0.25f, 0.85f, v));
        gold = mix(gold, Rgb{1.0f, 1.0f, 0.95f}, std::exp(-std::pow((v - 0.42f) / 0.05f, 2.0f)) * 0.8f);
        // Inner line of each stroke slightly brighter, as if rounded.
        gold = gold * (1.1f - 0.25f * smoothstep(0.0f, 9.0f, d));
        const Rgb glow{1.0f, 0.55f, 0.2f};
        const Rgb background{0.02f, 0.03f, 0.12f};
        const float inside = 1.0f - smoothstep(8.5f, 10.0f, d);
        return mix(mix(background, glow, std::exp(-(d - 9.0f) / 6.0f) * 0.5f), gold, inside);
    });
}

Picture titleOpacity() {
    return titlePicture([](float d, float) {
        const float inside = 1.0f - smoothstep(8.5f, 10.0f, d);
        const float glow = 0.45f * std::exp(-std::max(0.0f, d - 9.0f) / 6.0f);
        const float a = std::max(inside, glow);
        return Rgb{a, a, a};
    });
}

}  // namespace quorvel
