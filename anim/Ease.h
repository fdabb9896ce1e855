// Ease curve of a key segment: accelerates over the first `easeFrom` of the segment, runs at
// constant speed, decelerates over the last `easeTo`. Maps 0 to 0 and 1 to 1.
#pragma once

float ease(float s, float easeFrom, float easeTo);
