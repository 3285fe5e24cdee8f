#pragma once
// The subcommands of the ravik executable ("ravik info FILE", ...): their
// names and usage lines, and the dispatch both executables share. Each
// executable binds the names it runs to its handlers: ravik the ones that
// need no Qt, ravik-desktop the ones that draw with Qt.

#include <span>
#include <string>
#include <vector>

namespace ravik {

using Arguments = std::vector<std::string>;

struct Subcommand {
    const char* name;
    const char* usage;
    // Drawn with Qt: run by ravik-desktop, never by ravik itself.
    bool drawsWithQt;
};

const std::vector<Subcommand>& Subcommands();

// A subcommand's handler in one executable; args are those after its name.
struct SubcommandBinding {
    const char* name;
    int (*run)(const Arguments& args);
};

// What an executable does with a known subcommand it has no handler for:
// ravik hands a Qt-drawn one to ravik-desktop (argv is its own).
using UnboundSubcommand = int (*)(const Subcommand& command, char** argv);

// True when argv names a subcommand, starts with an option (--help and
// --version are answered, any other is a usage error, status 2), or starts
// with a word that is neither a subcommand, a path nor an existing file
// (which is told as an unknown command, with the list of subcommands,
// status 2).
bool IsSubcommandCall(int argc, char** argv);
// Runs the named subcommand through its binding, or through unbound when
// this executable has none for it.
int RunSubcommand(int argc, char** argv, std::span<const SubcommandBinding> bindings, UnboundSubcommand unbound);

inline constexpr const char* kPrintUsage =
    "ravik print INPUT.qvr --mode {paint|bulk|thin|alloy|sign} [--table] [--low] [--high] [--status] "
    "[--marked] [--classes LIST] [--final-results] [--settings-dir DIR] [--force] --pdf OUT.pdf";
inline constexpr const char* kReportUsage =
    "ravik report INPUT.qvr [--modes paint,bulk,...] [--readings LIST] [--template FILE] [--settings-dir DIR] "
    "[--force] --pdf OUT.pdf";
inline constexpr const char* kExportUsage =
    "ravik export INPUT.qvr --mode {paint|bulk|thin|alloy|sign} [--table] [--spectra] [--status] "
    "[--form {0|1|2|3}] [--classes LIST] [--final-results] [--settings-dir DIR] [--force] -o OUTPUT\n"
    "       ravik export INPUT.qvr --mode {paint|bulk|thin|alloy|sign} [--classes LIST] [--final-results] "
    "[--settings-dir DIR] [--force] --sheet OUT.csv|OUT.xlsx";

}  // namespace ravik
