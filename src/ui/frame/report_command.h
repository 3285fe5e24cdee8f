#pragma once
// "ravik report": the client report of a readings file as a PDF, headless.
// It draws with Qt, so ravik-desktop runs it.

#include "core/shell/subcommands.h"

namespace ravik {

int RunReport(const Arguments& args);

}  // namespace ravik
