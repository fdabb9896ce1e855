#include "tools/makemusic/Score.h"

#include <vector>

#include "tools/makemusic/Instruments.h"

namespace quorvel {

namespace {

struct Chord {
    std::vector<int> notes;  // MIDI note numbers of the pad voicing
    int bassRoot;            // MIDI note of the bass
};

const Chord kAm{{57, 60, 64, 69}, 45};
const Chord kF{{53, 57, 60, 65}, 41};
const Chord kC{{55, 60, 64, 67}, 48};
const Chord kG{{55, 59, 62, 67}, 43};
const Chord kDm{{57, 62, 65, 69}, 38};
const Chord kE{{56, 59, 64, 68}, 40};

// A melody note on the eighth-note grid of one bar.
struct Note {
    int startEighth, lengthEighths, pitch;
};
using Phrase = std::vector<std::vector<Note>>;  // one list per bar

const Phrase kThemeA{
    {{0, 2, 76}, {2, 2, 81}, {4, 1, 79}, {5, 1, 76}, {6, 2, 74}},
    {{0, 3, 72}, {3, 1, 74}, {4, 2, 76}, {6, 2, 72}},
    {{0, 2, 67}, {2, 2, 72}, {4, 1, 76}, {5, 1, 79}, {6, 2, 76}},
    {{0, 4, 74}, {4, 2, 71}, {6, 2, 74}},
};
const Phrase kThemeB{
    {{0, 2, 76}, {2, 2, 81}, {4, 2, 84}, {6, 2, 83}},
    {{0, 2, 81}, {2, 1, 79}, {3, 1, 77}, {4, 4, 76}},
    {{0, 2, 79}, {2, 2, 76}, {4, 2, 72}, {6, 2, 76}},
    {{0, 6, 74}, {6, 2, 71}},
};
const Phrase kBreakdown{
    {{0, 8, 77}},
    {{0, 8, 76}},
    {{0, 4, 72}, {4, 4, 77}},
    {{0, 8, 80}},
};

const Chord& chordOfBar(int bar) {
    static const Chord* const cycle[] = {&kAm, &kF, &kC, &kG};
    static const Chord* const breakdown[] = {&kDm, &kAm, &kF, &kE};
    if (bar >= 20 && bar < 24) return *breakdown[bar - 20];
    if (bar >= 28) return kAm;
    return *cycle[bar % 4];
}

void playPhraseBar(StereoBuffer& leadBus, const Phrase& phrase, int bar, int phraseBar, float velocity) {
    const double eighth = kBeat / 2;
    for (const Note& n : phrase[std::size_t(phraseBar)])
        lead(leadBus, bar * kBar + n.startEighth * eighth, n.lengthEighths * eighth * 0.9, n.pitch, velocity);
}

}  // namespace

StereoBuffer renderPiece() {
    const double total = kBars * kBar;
    StereoBuffer mix(total);
    StereoBuffer leadBus(total);
    const double eighth = kBeat / 2;
    const int bassPattern[8] = {0, 0, 12, 0, 0, 12, 0, 7};

    for (int bar = 0; bar < kBars; ++bar) {
        const double t0 = bar * kBar;
        const Chord& chord = chordOfBar(bar);
        const bool intro = bar < 4, breakdown = bar >= 20 && bar < 24, ending = bar >= 28;

        // Pads: one chord per bar; the last two bars hold one long chord.
        if (bar < 28) {
            for (int note : chord.notes) pad(mix, t0, kBar * 0.98, note, intro ? 0.7f + 0.1f * bar : 1.0f);
        } else if (bar == 28) {
            for (int note : chord.notes) pad(mix, t0, 2 * kBar - 1.3, note, 1.0f);
        }

        // Bass: from bar 5 on, an eighth-note figure on the chord's root.
        if (!intro && !ending) {
            for (int k = 0; k < 8; ++k) {
                if (breakdown && k % 4 != 0) continue;  // only long root notes in the breakdown
                const double length = breakdown ? kBar / 2 * 0.9 : eighth * 0.8;
                bass(mix, t0 + k * eighth, length, chord.bassRoot + (breakdown ? 0 : bassPattern[k]), 1.0f);
            }
        }
        if (bar == 28) bass(mix, t0, kBar * 1.5, chord.bassRoot, 1.0f);

        // Drums.
        const bool drums = !intro && !breakdown && bar < 29;
        if (drums) {
            for (int beat = 0; beat < 4; ++beat) kick(mix, t0 + beat * kBeat, 1.0f);
            snare(mix, t0 + 1 * kBeat, 0.9f);
            snare(mix, t0 + 3 * kBeat, 0.9f);
        }
        if (bar >= 2 && bar < 29) {
            for (int k = 0; k < 8; ++k) {
                const bool open = k == 7 && drums;
                const float accent = (k % 2 == 1) ? 1.0f : 0.6f;
                hihat(mix, t0 + k * eighth, (breakdown ? 0.5f : 1.0f) * accent, open);
            }
        }
        if (bar == 23) {  // snare roll into the last part, growing louder
            for (int k = 0; k < 16; ++k) snare(mix, t0 + k * kBeat / 4, 0.25f + 0.045f * k);
        }

        // Lead: the theme in bars 13-20 and 25-28, a slow line in the breakdown.
        if (bar >= 12 && bar < 20) playPhraseBar(leadBus, bar < 16 ? kThemeA : kThemeB, bar, bar % 4, 1.0f);
        if (breakdown) playPhraseBar(leadBus, kBreakdown, bar, bar - 20, 0.8f);
        if (bar >= 24 && bar < 28) playPhraseBar(leadBus, kThemeB, bar, bar - 24, 1.0f);
        if (bar == 28) lead(leadBus, t0, kBar * 1.4, 81, 0.9f);
    }

    // The lead's echo: a dotted eighth, bouncing left and right.
    echo(leadBus, mix, 3 * kBeat / 4, 0.35f, 0.45f);
    return mix;
}

}  // namespace quorvel
