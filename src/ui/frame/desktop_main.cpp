// ravik-desktop: the desktop program, and the subcommands that draw with Qt.
// The ravik executable starts it when it is given no subcommand, a readings
// file, or one of those subcommands; every other subcommand runs without Qt.

#include <cstdio>

#include "core/shell/subcommands.h"
#include "ui/frame/desktop_start.h"
#include "ui/frame/print_command.h"
#include "ui/frame/report_command.h"
#include "ui/frame/spectrum_command.h"

namespace {

constexpr ravik::SubcommandBinding kBindings[] = {
    {"print", ravik::RunPrint}, {"report", ravik::RunReport}, {"spectrum", ravik::RunSpectrum}};

int RunByRavik(const ravik::Subcommand& command, char**) {
    std::fprintf(stderr, "ravik-desktop: \"%s\" is run by ravik (ravik %s ...)\n", command.name, command.name);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (ravik::IsSubcommandCall(argc, argv)) return ravik::RunSubcommand(argc, argv, kBindings, RunByRavik);
    return ravik::RunDesktop(argc, argv);
}
