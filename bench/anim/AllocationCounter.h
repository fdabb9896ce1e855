// Counts the program's heap allocations (operator new), so a benchmark can show that the code
// it measures allocates nothing.
#pragma once

long allocationCount();
