// The synthesiser's voices. Each call renders one note (or one drum hit) and adds it into a
// buffer at a time in seconds; everything is computed sample by sample from oscillators,
// envelopes and filters, with a fixed noise seed so that the piece renders identically each run.
#pragma once

#include "tools/makemusic/StereoBuffer.h"

namespace quorvel {

float noteFrequency(int midiNote);

// Warm chord pad: three detuned band-limited saws per note, a slow filter sweep, spread wide.
void pad(StereoBuffer& out, double start, double length, int note, float velocity);
// Plucky bass: saw with a sine an octave below, a filter that closes quickly after each note.
void bass(StereoBuffer& out, double start, double length, int note, float velocity);
// Lead: a narrow pulse with delayed vibrato, panned slightly right.
void lead(StereoBuffer& out, double start, double length, int note, float velocity);
// Drums: a falling sine for the kick, filtered noise with a tone for the snare, bright noise
// for the hi-hat (open: longer tail).
void kick(StereoBuffer& out, double start, float velocity);
void snare(StereoBuffer& out, double start, float velocity);
void hihat(StereoBuffer& out, double start, float velocity, bool open);

// A ping-pong echo of `in` added into out: delay in seconds, feedback per repeat, wet level.
void echo(const StereoBuffer& in, StereoBuffer& out, double delay, float feedback, float wet);

}  // namespace quorvel
