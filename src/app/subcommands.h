#pragma once
// The headless subcommands of the ravik executable ("ravik info FILE", ...).
// They need no display, write results to stdout and messages to stderr, and
// return 0 on success.

#include <string>
#include <vector>

namespace ravik {

using Arguments = std::vector<std::string>;

struct Subcommand {
    const char* name;
    const char* usage;
    // args after the subcommand's name; null for "print", which the desktop
    // executable runs (it draws with Qt)
    int (*run)(const Arguments& args);
};

const std::vector<Subcommand>& Subcommands();

// True when argv names one of commands, asks for help, or starts with a word
// that is neither a subcommand, an option, a path nor an existing file
// (which is told as an unknown command, with the list of subcommands,
// status 2).
bool IsSubcommandCall(int argc, char** argv, const std::vector<Subcommand>& commands);
// Runs the named command; one without a run function draws pages with Qt and
// runs in the desktop executable, which is started in this one's place.
int RunSubcommand(int argc, char** argv, const std::vector<Subcommand>& commands);

int RunInfo(const Arguments& args);
int RunMerge(const Arguments& args);
int RunLibrary(const Arguments& args);
int RunReceive(const Arguments& args);
int RunProbe(const Arguments& args);
int RunPorts(const Arguments& args);
// "ravik library send FILE.lib --port DEVICE" (args after "send").
int RunLibrarySend(const Arguments& args);
int RunExport(const Arguments& args);

inline constexpr const char* kPrintUsage =
    "ravik print INPUT.qvr --mode {paint|bulk|thin|alloy|sign} [--table] [--low] [--high] [--status] "
    "[--marked] [--classes LIST] [--final-results] [--settings-dir DIR] --pdf OUT.pdf";
inline constexpr const char* kExportUsage =
    "ravik export INPUT.qvr --mode {paint|bulk|thin|alloy|sign} [--table] [--spectra] [--status] "
    "[--form {0|1|2|3}] [--classes LIST] [--final-results] [--settings-dir DIR] [--force] -o OUTPUT";

}  // namespace ravik
