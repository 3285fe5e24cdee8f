// "ravik merge FILE... -o OUT [--locked]": opens the first file, appends the
// others with the Append rules and limits, and saves all readings to OUT.

#include <cstdio>

#include "app/subcommands.h"
#include "platform/prompter.h"
#include "readings/readings_loader.h"
#include "readings/readings_saver.h"

namespace ravik {

namespace {
int Usage() {
    std::fprintf(stderr, "usage: ravik merge FILE... -o OUT [--locked]\n");
    return 2;
}
}  // namespace

int RunMerge(const Arguments& args) {
    std::vector<std::string> inputs;
    std::string output;
    bool lockedOutput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (++i == args.size()) return Usage();
            output = args[i];
        } else if (args[i] == "--locked") {
            lockedOutput = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return Usage();
        } else {
            inputs.push_back(args[i]);
        }
    }
    if (inputs.empty() || output.empty()) return Usage();

    ReadingStore store;
    StderrPrompter prompter;
    if (LoadReadingsFile(store, inputs[0], kOpenCommand, prompter) != LoadOutcome::Whole) return 1;
    for (size_t i = 1; i < inputs.size(); ++i) {
        // Appending a file of another version would read the earlier
        // readings' mode words with the wrong layout, so it is refused on the
        // version in the header as well as on the extension.
        const std::optional<float> version = ReadFileVersion(inputs[i]);
        if (!AppendExtensionsMatch(inputs[i], inputs[0]) || !version ||
            *version != store.fileVersion) {
            prompter.error("Cannot Append Different File Versions\n" + inputs[i], "Warning");
            return 1;
        }
        if (LoadReadingsFile(store, inputs[i], kAppendCommand, prompter) != LoadOutcome::Whole) {
            return 1;
        }
    }
    if (lockedOutput) store.locked = true;
    std::string currentFileName;
    if (!SaveReadingsFile(store, output, "", currentFileName, prompter)) return 1;
    std::printf("%d readings saved to %s\n", store.readingCount, currentFileName.c_str());
    return 0;
}

}  // namespace ravik
