// The evaluation routines that prepare() stores in vector and rotation tracks. They are named
// here so that tests and tools can tell which one a track uses.
#pragma once

#include "anim/Track.h"

void evaluateSingleKeyVector(VectorTrack& track, float frame, float out[3]);
void evaluateHermiteVector(VectorTrack& track, float frame, float out[3]);
void evaluateSingleKeyRotation(RotationTrack& track, float frame, Quat& out);
void evaluateSquadRotation(RotationTrack& track, float frame, Quat& out);
void evaluateMultiTurnRotation(RotationTrack& track, float frame, Quat& out);
