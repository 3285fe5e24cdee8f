// "ravik print INPUT.qvr --mode MODE [--table] [--low] [--high] [--status] ... [--force] --pdf OUT.pdf":
// the printer's pages without a display, drawn by the same page printers
// into one PDF file. The PDF is written as every other output is: never
// over the input or onto a folder, FIFO or device, an existing file only
// with --force, and a failed write leaves the previous file as it was.
// --force also prints what loaded of an input that was not read whole.

#include <algorithm>
#include <cstdio>
#include <optional>

#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/shell/command_line.h"
#include "core/shell/command_output.h"
#include "core/shell/output_arguments.h"
#include "ui/frame/print_command.h"
#include "ui/frame/subcommand_gui.h"
#include "ui/output/print_jobs.h"

namespace ravik {

namespace {

struct PrintArguments {
    std::string input;
    std::string pdf;
    std::string settingsDirectory;
    bool force = false;
    OutputChoices choices;
};

int Usage() {
    std::fprintf(stderr, "usage: %s\n", kPrintUsage);
    return 2;
}

constexpr DeclaredOption kOptions[] = {
    {"--mode", true},   {"--table", false},  {"--low", false},           {"--high", false},
    {"--status", false}, {"--marked", false}, {"--classes", true},        {"--final-results", false},
    {"--pdf", true},    {"--force", false},  {"--settings-dir", true},
};

std::optional<PrintArguments> ParseArguments(const Arguments& args) {
    const std::optional<ParsedOptions> options = ParseOptions(args, kOptions);
    if (!options || options->operands().size() != 1 || options->operands().front().empty() ||
        !options->has("--mode") || !options->has("--pdf")) {
        return std::nullopt;
    }
    PrintArguments parsed;
    parsed.input = options->operands().front();
    parsed.pdf = options->value("--pdf");
    parsed.settingsDirectory = options->value("--settings-dir");
    parsed.force = options->has("--force");
    OutputChoices& choices = parsed.choices;
    choices.device = OutputDevice::PdfFile;
    choices.table = options->has("--table");
    choices.lowSpectrum = options->has("--low");
    choices.highSpectrum = options->has("--high");
    choices.status = options->has("--status");
    choices.markedOnly = options->has("--marked");
    if (options->has("--final-results")) choices.subResults = false;
    choices.mode = ModeNamed(options->value("--mode"));
    if (!choices.mode) return std::nullopt;
    if (options->has("--classes") && !TakeClasses(options->value("--classes"), choices)) return std::nullopt;
    return parsed;
}

}  // namespace

int RunPrint(const Arguments& args) {
    const std::optional<PrintArguments> parsed = ParseArguments(args);
    if (!parsed) return Usage();
    // Questions are answered Yes only with --force.
    StderrPrompter prompter(parsed->force ? Answer::Yes : Answer::No);
    if (!RequireOutputKind(parsed->choices, prompter)) return 2;
    if (!MayWriteOutput(parsed->pdf, {parsed->input}, parsed->force, prompter)) return 1;

    Settings settings;
    const std::string directory = parsed->settingsDirectory.empty() ? DataDirectory() : parsed->settingsDirectory;
    if (!LoadSubcommandSettings(directory, settings, prompter)) return 1;
    ReadingStore store;
    settings.download = kDownloadDone;  // as opening a file does
    if (!InputLoadedEnough(LoadReadingsFile(store, parsed->input, kOpenCommand, prompter), parsed->force)) return 1;
    const Mode mode = *parsed->choices.mode;
    if (store.count(mode) == 0) {
        std::fprintf(stderr, "ravik print: %s holds no %s readings\n", parsed->input.c_str(), WindowText(mode));
        return 1;
    }
    std::vector<PrintRequest> requests;
    for (const PrintRequest& request : RequestsFor(parsed->choices, settings)) {
        if (RequestHasReadings(store, request)) requests.push_back(request);
    }
    // The status table comes last here, after the mode's own pages.
    std::stable_partition(requests.begin(), requests.end(),
                          [](const PrintRequest& request) { return request != PrintRequest{PrintRequest::Kind::Table, kStatusTableSelector}; });
    if (requests.empty()) {
        std::fprintf(stderr, "ravik print: nothing to print for %s readings\n", WindowText(mode));
        return 1;
    }

    const SubcommandGui gui;
    const PrintSource source{store, settings, SelectionFrom(parsed->choices), parsed->input};
    std::string error;
    if (!PrintRequestsToPdf(parsed->pdf, source, requests, error)) {
        prompter.error(error, "SAVE ERROR");
        return 1;
    }
    std::printf("%s\n", parsed->pdf.c_str());
    return 0;
}

}  // namespace ravik
