#include "tools/maketextures/StrokeFont.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvel {

namespace {

constexpr float kPi = 3.14159265f;

// An elliptical arc around (cx, cy) with radii (rx, ry) from angle a0 to a1 (radians).
Stroke arc(float cx, float cy, float rx, float ry, float a0, float a1, int steps = 24) {
    Stroke s;
    for (int i = 0; i <= steps; ++i) {
        const float a = a0 + (a1 - a0) * float(i) / float(steps);
        s.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return s;
}

Stroke join(Stroke a, const Stroke& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

float segmentDistance(Point2 p, Point2 a, Point2 b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = a.x + dx * t - p.x, ey = a.y + dy * t - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

std::vector<Stroke> glyphStrokes(char letter) {
    switch (letter) {
        case 'Q':
            return {arc(0.5f, 0.5f, 0.42f, 0.5f, 0.0f, 2.0f * kPi, 40), {{0.58f, 0.28f}, {0.95f, -0.06f}}};
        case 'O':
            return {arc(0.5f, 0.5f, 0.42f, 0.5f, 0.0f, 2.0f * kPi, 40)};
        case 'U':
            return {join(join(Stroke{{0.1f, 1.0f}}, arc(0.5f, 0.4f, 0.4f, 0.4f, kPi, 2.0f * kPi)),
                         Stroke{{0.9f, 1.0f}})};
        case 'R':
            return {join(join(Stroke{{0.12f, 0.0f}, {0.12f, 1.0f}, {0.55f, 1.0f}},
                              arc(0.55f, 0.75f, 0.3f, 0.25f, 0.5f * kPi, -0.5f * kPi, 16)),
                         Stroke{{0.12f, 0.5f}}),
                    {{0.5f, 0.5f}, {0.9f, 0.0f}}};
        case 'V':
            return {{{0.06f, 1.0f}, {0.5f, 0.0f}, {0.94f, 1.0f}}};
        case 'E':
            return {{{0.88f, 1.0f}, {0.14f, 1.0f}, {0.14f, 0.0f}, {0.88f, 0.0f}}, {{0.14f, 0.52f}, {0.7f, 0.52f}}};
        case 'L':
            return {{{0.14f, 1.0f}, {0.14f, 0.0f}, {0.86f, 0.0f}}};
        default:
            return {};
    }
}

std::vector<Stroke> layoutText(const std::string& text, int width, int height, float letterHeight,
                               float letterWidth, float spacing) {
    const float total = float(text.size()) * letterWidth + float(text.size() - 1) * spacing;
    const float left = (float(width) - total) * 0.5f;
    const float base = (float(height) + letterHeight) * 0.5f;  // pixel row of y = 0
    std::vector<Stroke> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const float x0 = left + float(i) * (letterWidth + spacing);
        for (const Stroke& s : glyphStrokes(text[i])) {
            Stroke placed;
            for (Point2 p : s) placed.push_back({x0 + p.x * letterWidth, base - p.y * letterHeight});
            out.push_back(placed);
        }
    }
    return out;
}

float distanceToStrokes(const std::vector<Stroke>& strokes, float x, float y) {
    float best = std::numeric_limits<float>::max();
    for (const Stroke& s : strokes) {
        if (s.size() == 1) best = std::min(best, segmentDistance({x, y}, s[0], s[0]));
        for (std::size_t i = 1; i < s.size(); ++i) best = std::min(best, segmentDistance({x, y}, s[i - 1], s[i]));
    }
    return best;
}

}  // namespace quorvel
