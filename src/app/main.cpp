// The ravik executable: a headless subcommand, or else the desktop program.
// It does not link Qt, so a subcommand starts without loading it; the
// desktop program is the ravik-desktop executable, which it runs in its place.
// Both run with malloc's heap in huge pages (see huge_page_heap.h).

#include "app/desktop_launch.h"
#include "app/huge_page_heap.h"
#include "app/subcommands.h"

int main(int argc, char** argv) {
    const std::vector<ravik::Subcommand>& subcommands = ravik::Subcommands();
    if (ravik::IsSubcommandCall(argc, argv, subcommands)) {
        ravik::RestartWithHugePageHeap(argv);
        return ravik::RunSubcommand(argc, argv, subcommands);
    }
    ravik::AskForHugePageHeap();
    return ravik::RunDesktopProgram(argv);
}
