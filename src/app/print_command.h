#pragma once
// "ravik print": the printer's pages into a PDF file, headless. It draws
// with Qt, so it lives on the desktop side and main adds it to the
// subcommands.

#include "app/subcommands.h"

namespace ravik {

int RunPrint(const Arguments& args);

// The core subcommands with ravik print's run function.
std::vector<Subcommand> AllSubcommands();

}  // namespace ravik
