#pragma once
// The handlers of the subcommands ravik runs itself: every one that needs no Qt.

#include "core/shell/subcommands.h"

namespace ravik {

int RunInfo(const Arguments& args);
int RunMerge(const Arguments& args);
int RunLibrary(const Arguments& args);
int RunReceive(const Arguments& args);
int RunProbe(const Arguments& args);
int RunPorts(const Arguments& args);
// "ravik library send FILE.lib --port DEVICE" (args after "send").
int RunLibrarySend(const Arguments& args);
int RunExport(const Arguments& args);
// "ravik spectrum": writes .msa and .csv itself, hands pictures to ravik-desktop.
int RunSpectrum(const Arguments& args);

}  // namespace ravik
