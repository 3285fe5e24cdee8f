#pragma once
// "ravik print": the printer's pages into a PDF file, headless. It draws
// with Qt, so it lives on the desktop side and main adds it to the
// subcommands.

#include "app/subcommands.h"

namespace ravik {

inline constexpr const char* kPrintUsage =
    "ravik print INPUT.qvr --mode {paint|bulk|thin|alloy|sign} [--table] [--low] [--high] [--status] "
    "[--marked] [--classes LIST] [--final-results] [--settings-dir DIR] --pdf OUT.pdf";

int RunPrint(const Arguments& args);

// The core subcommands and ravik print.
std::vector<Subcommand> AllSubcommands();

}  // namespace ravik
