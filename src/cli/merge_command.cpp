// "ravik merge FILE... -o OUT [--locked] [--force]": opens the first file,
// appends the others with the Append rules and limits, and saves all
// readings to OUT. An existing OUT is replaced, and inputs that were not read
// whole are merged as far as they loaded, only with --force; an input is
// never written over.

#include <cstdio>

#include "core/shell/command_output.h"
#include "cli/commands.h"
#include "core/shell/command_line.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/readings/readings_saver.h"

namespace ravik {

namespace {
int Usage() {
    std::fprintf(stderr, "usage: ravik merge FILE... -o OUT [--locked] [--force]\n");
    return 2;
}

}  // namespace

int RunMerge(const Arguments& args) {
    constexpr DeclaredOption kOptions[] = {{"-o", true}, {"--locked", false}, {"--force", false}};
    const std::optional<ParsedOptions> parsed = ParseOptions(args, kOptions);
    if (!parsed || parsed->operands().empty() || !parsed->has("-o")) return Usage();
    const std::vector<std::string>& inputs = parsed->operands();
    const std::string output = parsed->value("-o");
    const bool lockedOutput = parsed->has("--locked");
    const bool force = parsed->has("--force");

    ReadingStore store;
    StderrPrompter prompter;
    if (IsSpecialFile(output)) {
        prompter.error(ReadProblemText(FileStatus::NotRegularFile, output, ""), "SAVE ERROR");
        return 1;
    }
    if (!InputLoadedEnough(LoadReadingsFile(store, inputs[0], kOpenCommand, prompter), force)) return 1;
    for (size_t i = 1; i < inputs.size(); ++i) {
        // Appending a file of another version would read the earlier
        // readings' mode words with the wrong layout, so it is refused on the
        // version in the header as well as on the extension.
        const std::optional<float> version = ReadFileVersion(inputs[i]);
        if (!version) {
            // No version to compare: the loader says why (not there, not a readings file).
            ReadingStore unread;
            LoadReadingsFile(unread, inputs[i], kOpenCommand, prompter);
            return 1;
        }
        if (!AppendExtensionsMatch(inputs[i], inputs[0]) || *version != store.fileVersion) {
            prompter.error("Cannot Append Different File Versions\n" + inputs[i], "Warning");
            return 1;
        }
        if (!InputLoadedEnough(LoadReadingsFile(store, inputs[i], kAppendCommand, prompter), force)) return 1;
    }
    if (lockedOutput) store.locked = true;
    const std::string target = SaveTargetName(output, store.locked);
    if (!MayWriteOutput(target, inputs, force, prompter)) return 1;
    std::string currentFileName;
    if (!SaveReadingsFile(store, target, "", currentFileName, prompter)) return 1;
    std::printf("%d readings saved to %s\n", store.readingCount, currentFileName.c_str());
    return 0;
}

}  // namespace ravik
