#pragma once
// Loading a large readings file allocates thousands of records; with 4 KiB
// pages every first touch of that memory is a page fault, which on virtual
// machines costs far more than the copy itself. glibc's malloc puts its heap
// in transparent huge pages when the tunable glibc.malloc.hugetlb=1 is set,
// but reads tunables only when a process starts.

namespace ravik {

// Adds glibc.malloc.hugetlb=1 (and a heap growing in 32 MiB steps) to
// GLIBC_TUNABLES for the processes started from now on (ravik-desktop);
// false when it was there already (a user's own setting is kept) or cannot
// be set.
bool AskForHugePageHeap();

// Starts this process again, once, with the setting; returns only when it
// runs with it already (or cannot be started again).
void RestartWithHugePageHeap(char** argv);

}  // namespace ravik
