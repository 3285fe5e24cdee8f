#include "app/huge_page_heap.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace ravik {

bool AskForHugePageHeap() {
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    std::string value = tunables != nullptr ? tunables : "";
    if (value.find("glibc.malloc.hugetlb") != std::string::npos) return false;
    // The heap grows in 32 MiB steps, so that its huge pages are whole ones.
    value += value.empty() ? "" : ":";
    value += "glibc.malloc.hugetlb=1:glibc.malloc.top_pad=33554432";
    return ::setenv("GLIBC_TUNABLES", value.c_str(), 1) == 0;
}

void RestartWithHugePageHeap(char** argv) {
    if (AskForHugePageHeap()) ::execv("/proc/self/exe", argv);
}

}  // namespace ravik
