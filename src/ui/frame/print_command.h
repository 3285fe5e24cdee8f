#pragma once
// "ravik print": the printer's pages into a PDF file, headless. It draws
// with Qt, so ravik-desktop runs it.

#include "core/shell/subcommands.h"

namespace ravik {

int RunPrint(const Arguments& args);

}  // namespace ravik
