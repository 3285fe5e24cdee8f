// "ravik info FILE": what a readings file holds. A damaged file is shown as
// far as it loaded, and exits with the partial status.

#include <cstdio>

#include "cli/commands.h"
#include "core/shell/command_line.h"
#include "core/shell/command_output.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"
#include "core/readings/readings_loader.h"

namespace ravik {

namespace {
void PrintTitles(const ReadingStore& store, Mode mode) {
    std::string line;
    for (int slot = 0; slot < TitleCount(mode); ++slot) {
        const std::string_view title = store.titles[mode][static_cast<size_t>(slot)].view();
        if (title.empty()) continue;
        if (!line.empty()) line += " | ";
        line += title;
    }
    std::printf("  %s: %s\n", WindowText(mode), Cp1252ToUtf8(line).c_str());
}
}  // namespace

int RunInfo(const Arguments& args) {
    const std::optional<ParsedOptions> parsed = ParseOptions(args, {});
    if (!parsed || parsed->operands().size() != 1) {
        std::fprintf(stderr, "usage: ravik info FILE\n");
        return 2;
    }
    const std::string& file = parsed->operands()[0];
    ReadingStore store;
    StderrPrompter prompter;
    const LoadOutcome outcome = LoadReadingsFile(store, file, kOpenCommand, prompter);
    if (outcome != LoadOutcome::Whole && outcome != LoadOutcome::Damaged) return 1;

    std::printf("File: %s\n", file.c_str());
    const std::vector<std::string> lines = HeaderLines(store.fileHeader.data());
    for (size_t i = 0; i < lines.size(); ++i) {
        std::printf("Header line %zu: %s\n", i + 1, Cp1252ToUtf8(lines[i]).c_str());
    }
    std::printf("Version: %.1f\n", static_cast<double>(store.fileVersion));
    std::printf("Locked: %s\n", store.locked ? "yes" : "no");
    std::printf("Site: %s\n", Cp1252ToUtf8(store.site).c_str());
    std::printf("Readings: %d\n", store.readingCount);
    for (Mode mode : kAllModes) std::printf("  %s: %d\n", WindowText(mode), store.count(mode));
    std::printf("Column titles:\n");
    for (Mode mode : kAllModes) {
        if (store.count(mode) > 0) PrintTitles(store, mode);
    }
    // A damaged file: what it held up to the damage was shown.
    return outcome == LoadOutcome::Whole ? 0 : kPartialExit;
}

}  // namespace ravik
