#pragma once
// "ravik spectrum ... -o OUT.png|OUT.svg|OUT.pdf": the comparison of readings
// drawn as a picture without a display, by the compare window's painter.
// ravik hands it to ravik-desktop, as it does print.

#include "core/shell/subcommands.h"

namespace ravik {

int RunSpectrum(const Arguments& args);

}  // namespace ravik
