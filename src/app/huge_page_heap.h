#pragma once
// Loading a large readings file allocates thousands of records; with 4 KiB
// pages every first touch of that memory is a page fault, which on virtual
// machines costs far more than the copy itself. glibc's malloc puts its heap
// in transparent huge pages when the tunable glibc.malloc.hugetlb=1 is set,
// but reads tunables only when a process starts: so the ravik executable
// starts itself again, once, with it set (a user's own setting is kept).

namespace ravik {

// Returns only when the process already runs with the setting (or cannot be
// started again); otherwise this process is replaced.
void RestartWithHugePageHeap(char** argv);

}  // namespace ravik
