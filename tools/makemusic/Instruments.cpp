#include "tools/makemusic/Instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quorvel {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kRate = float(kSampleRate);

// White noise in [-1, 1] from a seeded generator, so every render is the same.
struct Noise {
    std::uint32_t state;
    float next() {
        state = state * 1664525u + 1013904223u;
        return float(state >> 8) / 8388608.0f - 1.0f;
    }
};

// Softens the jump of a band-limited oscillator at phase t (0..1) with phase step dt, so the
// waveform's corners do not alias.
float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

struct Saw {
    float phase = 0.0f;
    float next(float frequency) {
        const float dt = frequency / kRate;
        const float value = 2.0f * phase - 1.0f - polyBlep(phase, dt);
        phase += dt;
        if (phase >= 1.0f) phase -= 1.0f;
        return value;
    }
};

struct Pulse {
    float phase = 0.0f;
    float next(float frequency, float width) {
        const float dt = frequency / kRate;
        // Centred on zero: a pulse of width w alone would average 2w - 1.
        float value = (phase < width ? 1.0f : -1.0f) - (2.0f * width - 1.0f);
        value += polyBlep(phase, dt);
        float shifted = phase - width;
        if (shifted < 0.0f) shifted += 1.0f;
        value -= polyBlep(shifted, dt);
        phase += dt;
        if (phase >= 1.0f) phase -= 1.0f;
        return value;
    }
};

// Two-pole state-variable filter; damping 2 is smooth, small values ring.
struct Filter {
    float low = 0.0f, band = 0.0f, high = 0.0f;
    void run(float input, float cutoff, float damping) {
        const float f = 2.0f * std::sin(kPi * std::min(cutoff, kRate * 0.2f) / kRate);
        low += f * band;
        high = input - low - damping * band;
        band += f * high;
    }
};

// Attack-decay-sustain-release level at time t of a note held for `length` seconds.
float adsr(float t, float length, float attack, float decay, float sustain, float release) {
    auto held = [&](float s) {
        if (s < attack) return s / attack;
        if (s < attack + decay) return 1.0f - (1.0f - sustain) * (s - attack) / decay;
        return sustain;
    };
    if (t < length) return held(t);
    const float after = t - length;
    return after < release ? held(length) * (1.0f - after / release) : 0.0f;
}

std::size_t frameOf(double seconds) { return std::size_t(std::max(0.0, seconds) * kSampleRate); }

}  // namespace

float noteFrequency(int midiNote) { return 440.0f * std::pow(2.0f, float(midiNote - 69) / 12.0f); }

void pad(StereoBuffer& out, double start, double length, int note, float velocity) {
    const float f = noteFrequency(note);
    const float release = 1.2f;
    const std::size_t first = frameOf(start), count = frameOf(length + release);
    Saw saws[6];
    const float detune[6] = {1.0f, 1.0041f, 0.9962f, 1.0021f, 0.9979f, 1.0058f};
    for (int k = 0; k < 6; ++k) saws[k].phase = float(k) / 6.0f;
    Filter fl, fr;
    for (std::size_t i = 0; i < count; ++i) {
        const float t = float(i) / kRate;
        const float level = adsr(t, float(length), 0.5f, 0.8f, 0.8f, release) * velocity * 0.07f;
        const float cutoff = 700.0f + 500.0f * std::sin(2.0f * kPi * 0.11f * float(start + t));
        const float l = saws[0].next(f * detune[0]) + saws[1].next(f * detune[1]) + saws[2].next(f * detune[2]);
        const float r = saws[3].next(f * detune[3]) + saws[4].next(f * detune[4]) + saws[5].next(f * detune[5]);
        fl.run(l, cutoff, 1.2f);
        fr.run(r, cutoff, 1.2f);
        out.addPair(first + i, fl.low * level, fr.low * level);
    }
}

void bass(StereoBuffer& out, double start, double length, int note, float velocity) {
    const float f = noteFrequency(note);
    const std::size_t first = frameOf(start), count = frameOf(length + 0.08);
    Saw saw;
    float subPhase = 0.0f;
    Filter filter;
    for (std::size_t i = 0; i < count; ++i) {
        const float t = float(i) / kRate;
        const float level = adsr(t, float(length), 0.004f, 0.15f, 0.6f, 0.08f) * velocity * 0.32f;
        filter.run(saw.next(f), 180.0f + 1600.0f * std::exp(-t / 0.07f), 0.5f);
        const float sub = std::sin(2.0f * kPi * subPhase);
        subPhase += 0.5f * f / kRate;
        if (subPhase >= 1.0f) subPhase -= 1.0f;
        out.add(first + i, (filter.low + 0.6f * sub) * level, 0.0f);
    }
}

void lead(StereoBuffer& out, double start, double length, int note, float velocity) {
    const float f = noteFrequency(note);
    const std::size_t first = frameOf(start), count = frameOf(length + 0.15);
    Pulse pulse;
    Filter filter;
    for (std::size_t i = 0; i < count; ++i) {
        const float t = float(i) / kRate;
        const float vibrato = std::min(1.0f, std::max(0.0f, (t - 0.15f) / 0.3f)) * 0.007f * std::sin(2.0f * kPi * 5.5f * t);
        const float level = adsr(t, float(length), 0.01f, 0.2f, 0.7f, 0.15f) * velocity * 0.11f;
        filter.run(pulse.next(f * (1.0f + vibrato), 0.3f), 2600.0f + 1200.0f * std::exp(-t / 0.1f), 0.9f);
        out.add(first + i, filter.low * level, 0.25f);
    }
}

void kick(StereoBuffer& out, double start, float velocity) {
    const std::size_t first = frameOf(start), count = frameOf(0.45);
    Noise noise{std::uint32_t(first) | 1u};
    float phase = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const float t = float(i) / kRate;
        phase += (45.0f + 110.0f * std::exp(-t / 0.035f)) / kRate;
        const float body = std::sin(2.0f * kPi * phase) * std::exp(-t / 0.28f);
        const float click = t < 0.004f ? noise.next() * (1.0f - t / 0.004f) * 0.4f : 0.0f;
        out.add(first + i, (body + click) * velocity * 0.75f, 0.0f);
    }
}

void snare(StereoBuffer& out, double start, float velocity) {
    const std::size_t first = frameOf(start), count = frameOf(0.35);
    Noise noise{std::uint32_t(first) * 3u + 1u};
    Filter filter;
    for (std::size_t i = 0; i < count; ++i) {
        const float t = float(i) / kRate;
        filter.run(noise.next(), 1900.0f, 0.9f);
        const float rattle = (filter.band * 0.9f + filter.high * 0.3f) * std::exp(-t / 0.11f);
        const float tone = std::sin(2.0f * kPi * 185.0f * t) * std::exp(-t / 0.05f);
        out.add(first + i, (rattle + 0.6f * tone) * velocity * 0.3f, -0.1f);
    }
}

void hihat(StereoBuffer& out, double start, float velocity, bool open) {
    const float decay = open ? 0.16f : 0.035f;
    const std::size_t first = frameOf(start), count = frameOf(decay * 6.0f);
    Noise noise{std::uint32_t(first) * 7u + 5u};
    Filter filter;
    for (std::size_t i = 0; i < count; ++i) {
        const float t = float(i) / kRate;
        filter.run(noise.next(), 7500.0f, 0.7f);
        out.add(first + i, filter.high * std::exp(-t / decay) * velocity * 0.09f, -0.35f);
    }
}

void echo(const StereoBuffer& in, StereoBuffer& out, double delay, float feedback, float wet) {
    const std::size_t d = frameOf(delay);
    std::vector<float> l(in.frames()), r(in.frames());
    for (std::size_t i = 0; i < in.frames(); ++i) {
        // Each repeat crosses to the other side and is quieter by the feedback factor.
        if (i >= d) {
            r[i] = in.left(i - d) + feedback * l[i - d];
            l[i] = in.right(i - d) + feedback * r[i - d];
        }
        out.addPair(i, in.left(i) + wet * l[i], in.right(i) + wet * r[i]);
    }
}

}  // namespace quorvel
