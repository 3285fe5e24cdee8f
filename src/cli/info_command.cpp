// "ravik info FILE": what a readings file holds.

#include <cstdio>

#include "cli/commands.h"
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
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: ravik info FILE\n");
        return 2;
    }
    ReadingStore store;
    StderrPrompter prompter;
    const LoadOutcome outcome = LoadReadingsFile(store, args[0], kOpenCommand, prompter);
    if (outcome != LoadOutcome::Whole && outcome != LoadOutcome::Damaged) return 1;

    std::printf("File: %s\n", args[0].c_str());
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
    return outcome == LoadOutcome::Whole ? 0 : 1;
}

}  // namespace ravik
