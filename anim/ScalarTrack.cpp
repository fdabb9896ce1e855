// Scalar tracks (camera field of view and roll): linear between keys, no ease and no spline.
#include "anim/Track.h"
#include "anim/TrackPrepare.h"
#include "anim/TrackSearch.h"

void ScalarTrack::addKey(const ScalarKey& key) {
    keys.push_back(key);
    ++keyCount;
}

void ScalarTrack::prepare() { prepareCommon(*this); }

float evaluateScalar(ScalarTrack& track, float frame) {
    // Scenes without keyframer data leave cameras with empty fov and roll tracks; answer 0
    // rather than read a key that does not exist.
    if (track.keys.empty()) return 0.0f;
    if (track.keys.size() == 1) return track.keys.front().value;

    const TrackSegment segment = findSegment(track, frame);
    if (segment.kind == TrackSegment::BeforeFirst) return track.keys.front().value;
    if (segment.kind == TrackSegment::AfterLast) return track.keys.back().value;
    const float s = segment.s;
    return (1.0f - s) * track.keys[segment.index].value + s * track.keys[segment.index + 1].value;
}
