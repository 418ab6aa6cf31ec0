// Allocation that a test can make fail. The test program's operator new is
// replaced by one that counts down: after fail_allocation(n), the n-th
// allocation from then on throws std::bad_alloc, once.
#pragma once

// Arms the failure for the n-th allocation from now on; 0 disarms it.
void fail_allocation(int n);
// Whether an armed failure has not come yet.
bool allocation_failure_pending();
