// Counts the heap allocations (global operator new) that our own code makes on one thread of the
// test program.
#pragma once

namespace quorvel::testing {

// From now on, counts the allocations of the calling thread only; other threads (the GL
// driver's, the audio library's) are not the code under test.
void countAllocationsOfThisThread();

// Allocations counted so far. An allocation counts when the nearest caller outside the C and C++
// runtime libraries is this program (engine, shell, Direct3D layer) or meshdrome.so; the GL
// driver's own work (its shader compiler, for one) does not.
long countedAllocations();

}  // namespace quorvel::testing
