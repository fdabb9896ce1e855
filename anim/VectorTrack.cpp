// Vector tracks (positions and scales): key storage and Kochanek-Bartels tangents.
#include <cstddef>

#include "anim/Evaluators.h"
#include "anim/Track.h"
#include "anim/TrackPrepare.h"

namespace {

// Tangents of key i from its neighbours p and n (either may be missing). keyCount is the number
// of keys in the whole track; a two-key track uses plain chords at its ends.
void computeTangents(const VectorKey* p, VectorKey& i, const VectorKey* n, std::size_t keyCount) {
    const float t = 1.0f - i.tension;
    if (p && n) {
        const float b = i.bias;
        const float c = i.continuity;
        const float inWeight = (1.0f + c) * 0.5f;
        const float outWeight = 0.5f - c * 0.5f;
        for (int k = 0; k < 3; ++k) {
            const float g1 = i.value[k] - p->value[k];
            const float g2 = n->value[k] - i.value[k];
            const float h = (1.0f + b) * g1;
            const float d = (1.0f - b) * g2 - h;
            i.inTangent[k] = t * (h + inWeight * d);
            i.outTangent[k] = t * (h + outWeight * d);
        }
    } else if (n) {
        // First key: only the segment leaving it needs a tangent.
        for (int k = 0; k < 3; ++k) {
            const float chord = n->value[k] - i.value[k];
            i.outTangent[k] = keyCount == 2 ? t * chord : t * (1.5f * chord - 0.5f * n->inTangent[k]);
        }
    } else if (p) {
        // Last key: only the segment arriving at it needs a tangent.
        for (int k = 0; k < 3; ++k) {
            const float chord = i.value[k] - p->value[k];
            i.inTangent[k] = keyCount == 2 ? t * chord : t * (1.5f * chord - 0.5f * p->outTangent[k]);
        }
    }
}

}  // namespace

void VectorTrack::addKey(const VectorKey& key) {
    keys.push_back(key);
    ++keyCount;
}

void VectorTrack::prepare() {
    if (!prepareCommon(*this)) return;
    const std::size_t count = keys.size();
    if (count == 1) {
        evaluator = evaluateSingleKeyVector;
        return;
    }

    // Inner keys first: the end keys of longer tracks lean on their neighbours' tangents.
    for (std::size_t k = 1; k + 1 < count; ++k) computeTangents(&keys[k - 1], keys[k], &keys[k + 1], count);

    VectorKey& first = keys.front();
    VectorKey& last = keys.back();
    if (isLoop(*this)) {
        // The last key is smoothed towards a copy of the second key placed one loop later, and
        // the first key leaves with the same tangent, so the loop has no corner.
        VectorKey wrapped = keys[1];
        wrapped.frame = keys[1].frame - first.frame + last.frame;
        computeTangents(&keys[count - 2], last, &wrapped, count);
        for (int k = 0; k < 3; ++k) first.outTangent[k] = last.outTangent[k];
    } else {
        computeTangents(nullptr, first, &keys[1], count);
        computeTangents(&keys[count - 2], last, nullptr, count);
    }
    evaluator = evaluateHermiteVector;
}
