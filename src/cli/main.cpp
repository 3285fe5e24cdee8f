// The ravik executable: a headless subcommand, or else the desktop program.
// It does not link Qt, so a subcommand starts without loading it; the
// desktop program and the subcommands that draw with Qt are the
// ravik-desktop executable, which it runs in its place.

#include "cli/commands.h"
#include "cli/desktop_launch.h"

namespace {

constexpr ravik::SubcommandBinding kBindings[] = {
    {"info", ravik::RunInfo},       {"merge", ravik::RunMerge},   {"library", ravik::RunLibrary},
    {"receive", ravik::RunReceive}, {"probe", ravik::RunProbe},   {"ports", ravik::RunPorts},
    {"export", ravik::RunExport},
    {"spectrum", ravik::RunSpectrum},
};

}  // namespace

int main(int argc, char** argv) {
    if (ravik::IsSubcommandCall(argc, argv)) {
        return ravik::RunSubcommand(argc, argv, kBindings, ravik::HandToDesktopProgram);
    }
    return ravik::RunDesktopProgram(argv);
}
