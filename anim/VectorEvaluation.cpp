// Evaluation routines of vector tracks.
#include "anim/Ease.h"
#include "anim/Evaluators.h"
#include "anim/TrackSearch.h"
#include "platform/d3dx8/d3dx8math.h"

namespace {

void copyValue(const VectorKey& key, float out[3]) {
    out[0] = key.value[0];
    out[1] = key.value[1];
    out[2] = key.value[2];
}

D3DXVECTOR3 toVector(const float v[3]) { return D3DXVECTOR3(v[0], v[1], v[2]); }

}  // namespace

void evaluateSingleKeyVector(VectorTrack& track, float, float out[3]) { copyValue(track.keys.front(), out); }

void evaluateHermiteVector(VectorTrack& track, float frame, float out[3]) {
    const TrackSegment segment = findSegment(track, frame);
    if (segment.kind == TrackSegment::BeforeFirst) return copyValue(track.keys.front(), out);
    if (segment.kind == TrackSegment::AfterLast) return copyValue(track.keys.back(), out);

    const VectorKey& a = track.keys[segment.index];
    const VectorKey& b = track.keys[segment.index + 1];
    const float d = ease(segment.s, a.easeFrom, b.easeTo);
    // Tangents are used as stored, not scaled by the segment's length in frames.
    const D3DXVECTOR3 p1 = toVector(a.value), t1 = toVector(a.outTangent);
    const D3DXVECTOR3 p2 = toVector(b.value), t2 = toVector(b.inTangent);
    D3DXVECTOR3 result;
    D3DXVec3Hermite(&result, &p1, &t1, &p2, &t2, d);
    out[0] = result.x;
    out[1] = result.y;
    out[2] = result.z;
}
