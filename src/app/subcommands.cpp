#include "app/subcommands.h"

#include "app/desktop_launch.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace ravik {

const std::vector<Subcommand>& Subcommands() {
    static const std::vector<Subcommand> kCommands = {
        {"info", "ravik info FILE", RunInfo},
        {"merge", "ravik merge FILE... -o OUT [--locked] [--force]", RunMerge},
        {"library", "ravik library FILE.lib [-o OUT.lib] [--force]\n  ravik library send FILE.lib --port DEVICE", RunLibrary},
        {"receive", "ravik receive --port DEVICE [--baud INDEX] -o OUT.qvr [--timeout SECONDS] [--force]", RunReceive},
        {"probe", "ravik probe --port DEVICE", RunProbe},
        {"ports", "ravik ports", RunPorts},
        {"export", kExportUsage, RunExport},
        {"print", kPrintUsage, nullptr},
    };
    return kCommands;
}

namespace {
bool IsHelp(const char* arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }

// A first argument that is no option, names no file and does not look like
// a path ("ravik exprot") is a mistyped subcommand. A missing file such as
// "/home/x/gone.qvr" (a file manager's stale entry) still goes to the
// desktop program, which says it cannot open it.
bool IsUnknownWord(const char* arg) {
    std::error_code error;
    return arg[0] != '-' && std::strpbrk(arg, "/.") == nullptr && !std::filesystem::exists(arg, error);
}

void PrintHelp(FILE* to, const std::vector<Subcommand>& commands) {
    std::fprintf(to,
                 "usage: ravik [FILE.qvr]        open the desktop program (on a readings file)\n"
                 "       ravik SUBCOMMAND ...    run headless\n\nsubcommands:\n");
    for (const Subcommand& command : commands) std::fprintf(to, "  %s\n", command.usage);
}
}  // namespace

bool IsSubcommandCall(int argc, char** argv, const std::vector<Subcommand>& commands) {
    if (argc < 2) return false;
    if (IsHelp(argv[1]) || IsUnknownWord(argv[1])) return true;
    for (const Subcommand& command : commands) {
        if (std::strcmp(argv[1], command.name) == 0) return true;
    }
    return false;
}

int RunSubcommand(int argc, char** argv, const std::vector<Subcommand>& commands) {
    if (IsHelp(argv[1])) {
        PrintHelp(stdout, commands);
        return 0;
    }
    for (const Subcommand& command : commands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        const Arguments args(argv + 2, argv + argc);
        for (const std::string& arg : args) {
            if (IsHelp(arg.c_str())) {
                std::printf("usage: %s\n", command.usage);
                return 0;
            }
        }
        return command.run != nullptr ? command.run(args) : RunDesktopProgram(argv);
    }
    std::fprintf(stderr, "ravik: unknown command \"%s\"\n", argv[1]);
    PrintHelp(stderr, commands);
    return 2;
}

}  // namespace ravik
