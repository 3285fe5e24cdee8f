// "ravik library FILE.lib [-o OUT.lib] [--force]": shows an alloy library
// group by group with its alloys and count, names the alloys whose limits
// belong to another group, and with -o writes it back as library source
// text. An existing OUT is replaced, and a library that was not read whole
// is written, only with --force; the input is never written over.
// Exits with 0 when the library was read whole (and written), 1 when it
// could not be read or written or had to be corrected, 2 on a usage error.

#include <cstdio>

#include "core/shell/command_output.h"
#include "cli/commands.h"
#include "core/shell/command_line.h"
#include "core/library/alloy_groups.h"
#include "core/library/library_source.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"

namespace ravik {

namespace {

int Usage() {
    std::fprintf(stderr, "usage: ravik library FILE.lib [-o OUT.lib] [--force]\n");
    return 2;
}

void PrintGroups(const AlloyLibrary& library) {
    const std::array<int, kSearchIndexCount> starts = GroupStarts(library);
    for (int g = 0; g < kAlloyGroupCount; ++g) {
        const int first = starts[static_cast<size_t>(g)];
        const int end = starts[static_cast<size_t>(g + 1)];
        std::printf("%s (%d)\n", kAlloyGroupNames[static_cast<size_t>(g)], end - first);
        for (int i = first; i < end; ++i) {
            std::printf("     %s\n", Cp1252ToUtf8(library.alloys[static_cast<size_t>(i)].name).c_str());
        }
    }
    std::printf("Alloys: %zu\n", library.alloys.size());
}

void PrintGroupConflicts(const AlloyLibrary& library) {
    int conflicts = 0;
    for (int i = 0; i < static_cast<int>(library.alloys.size()); ++i) {
        const int group = GroupOfAlloy(library, i);
        const int proper = ProperGroup(library.alloys[static_cast<size_t>(i)]);
        if (group > kLastCheckedGroup || proper == group) continue;
        if (conflicts++ == 0) std::printf("Group conflicts:\n");
        std::printf("     %s: group is %s, should be %s\n",
                    Cp1252ToUtf8(library.alloys[static_cast<size_t>(i)].name).c_str(),
                    kAlloyGroupNames[static_cast<size_t>(group)], kAlloyGroupNames[static_cast<size_t>(proper)]);
    }
    if (conflicts == 0) std::printf("No group conflicts\n");
}

int ShowLibrary(const Arguments& args) {
    constexpr DeclaredOption kOptions[] = {{"-o", true}, {"--force", false}};
    const std::optional<ParsedOptions> parsed = ParseOptions(args, kOptions);
    if (!parsed || parsed->operands().size() != 1) return Usage();
    const std::string& input = parsed->operands()[0];
    const std::string output = parsed->value("-o");
    const bool force = parsed->has("--force");

    StderrPrompter prompter;
    EditedLibrary edited;
    const LibraryReadOutcome outcome = ReadLibraryFile(input, edited.library, prompter);
    if (outcome == LibraryReadOutcome::Unreadable) return 1;
    std::printf("Library: %s\n", input.c_str());
    PrintGroups(edited.library);
    PrintGroupConflicts(edited.library);
    if (!output.empty()) {
        if (outcome != LibraryReadOutcome::Whole && !force) {
            prompter.error("Library Not Read Whole\n" + output + " Not Written", "SAVE ERROR");
            return 1;
        }
        if (!MayWriteOutput(output, {input}, force, prompter)) return 1;
        if (!SaveLibraryFile(output, edited, prompter)) return 1;
        std::printf("%zu alloys written to %s\n", edited.library.alloys.size(), output.c_str());
    }
    return outcome == LibraryReadOutcome::Whole ? 0 : 1;
}

}  // namespace

int RunLibrary(const Arguments& args) {
    // Verbs of the subcommand ("ravik library VERB ...") are dispatched here,
    // before the arguments are taken as a library file to show.
    if (!args.empty() && args[0] == "send") return RunLibrarySend(Arguments(args.begin() + 1, args.end()));
    return ShowLibrary(args);
}

}  // namespace ravik
