#include "core/shell/subcommands.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/shell/shell_rules.h"
#include "core/shell/spectrum_request.h"

namespace ravik {

const std::vector<Subcommand>& Subcommands() {
    static const std::vector<Subcommand> kCommands = {
        {"info", "ravik info FILE", false},
        {"merge", "ravik merge FILE... -o OUT [--locked] [--force]", false},
        {"library", "ravik library FILE.lib [-o OUT.lib] [--force]\n  ravik library send FILE.lib --port DEVICE", false},
        {"receive", "ravik receive --port DEVICE [--baud INDEX] -o OUT.qvr [--timeout SECONDS] [--force]", false},
        {"probe", "ravik probe --port DEVICE", false},
        {"ports", "ravik ports", false},
        {"export", kExportUsage, false},
        {"print", kPrintUsage, true},
        // ravik writes its .msa and .csv outputs and hands its pictures to ravik-desktop.
        {"spectrum", kSpectrumUsage, false},
    };
    return kCommands;
}

namespace {
bool IsHelp(const char* arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }
bool IsVersion(const char* arg) { return std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-V") == 0; }
bool IsOption(const char* arg) { return arg[0] == '-'; }

// A first argument that is no option, names no file and does not look like
// a path ("ravik exprot") is a mistyped subcommand. A missing file such as
// "/home/x/gone.qvr" (a file manager's stale entry) still goes to the
// desktop program, which says it cannot open it.
bool IsUnknownWord(const char* arg) {
    std::error_code error;
    return arg[0] != '-' && std::strpbrk(arg, "/.") == nullptr && !std::filesystem::exists(arg, error);
}

void PrintHelp(FILE* to) {
    std::fprintf(to,
                 "usage: ravik [FILE.qvr]        open the desktop program (on a readings file)\n"
                 "       ravik SUBCOMMAND ...    run headless\n"
                 "       ravik --version         print the version\n\nsubcommands:\n");
    for (const Subcommand& command : Subcommands()) std::fprintf(to, "  %s\n", command.usage);
}

const Subcommand* FindSubcommand(const char* name) {
    for (const Subcommand& command : Subcommands()) {
        if (std::strcmp(name, command.name) == 0) return &command;
    }
    return nullptr;
}
}  // namespace

bool IsSubcommandCall(int argc, char** argv) {
    if (argc < 2) return false;
    return IsOption(argv[1]) || IsUnknownWord(argv[1]) || FindSubcommand(argv[1]) != nullptr;
}

int RunSubcommand(int argc, char** argv, std::span<const SubcommandBinding> bindings, UnboundSubcommand unbound) {
    if (IsHelp(argv[1])) {
        PrintHelp(stdout);
        return 0;
    }
    if (IsVersion(argv[1])) {
        std::printf("%s\n", kProgramTitle);
        return 0;
    }
    // No other option comes before a subcommand; "-" and "--" alone name no file.
    if (IsOption(argv[1])) {
        std::fprintf(stderr, "ravik: unknown option \"%s\" (ravik --help lists the subcommands)\n", argv[1]);
        return 2;
    }
    const Subcommand* command = FindSubcommand(argv[1]);
    if (command == nullptr) {
        std::fprintf(stderr, "ravik: unknown command \"%s\"\n", argv[1]);
        PrintHelp(stderr);
        return 2;
    }
    const Arguments args(argv + 2, argv + argc);
    for (const std::string& arg : args) {
        if (IsHelp(arg.c_str())) {
            std::printf("usage: %s\n", command->usage);
            return 0;
        }
    }
    for (const SubcommandBinding& binding : bindings) {
        if (std::strcmp(binding.name, command->name) == 0) return binding.run(args);
    }
    return unbound(*command, argv);
}

}  // namespace ravik
