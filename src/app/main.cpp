// The ravik executable: a headless subcommand, or else the desktop program.
// It does not link Qt, so a subcommand starts without loading it; the
// desktop program is the ravik-desktop executable, which it runs in its place.

#include "app/desktop_launch.h"
#include "app/huge_page_heap.h"
#include "app/subcommands.h"

int main(int argc, char** argv) {
    ravik::RestartWithHugePageHeap(argv);
    if (ravik::IsSubcommandCall(argc, argv)) return ravik::RunSubcommand(argc, argv);
    return ravik::RunDesktopProgram(argv);
}
