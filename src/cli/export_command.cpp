// "ravik export INPUT.qvr --mode MODE [--table] [--spectra] [--status] ... -o OUTPUT":
// the export of the Print dialog, run headless: the same files, byte for
// byte, that the desktop program writes for the same choices.
// "ravik export INPUT.qvr --mode MODE ... --sheet OUT.csv|OUT.xlsx": the
// mode's table as a spreadsheet file, under the same output rules.

#include <algorithm>
#include <cstdio>
#include <optional>

#include "core/shell/command_output.h"
#include "core/shell/output_arguments.h"
#include "cli/commands.h"
#include "core/shell/command_line.h"
#include "core/output/export_flow.h"
#include "core/output/spreadsheet.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_chooser.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/settings/settings_file.h"

namespace ravik {

namespace {

int Usage() {
    std::fprintf(stderr, "usage: %s\n", kExportUsage);
    return 2;
}

struct ExportArguments {
    std::string input;
    std::string output;
    bool sheet = false;  // output is a spreadsheet file
    std::string settingsDirectory;
    std::optional<int> form;
    bool force = false;
    OutputChoices choices;
};

std::optional<ExportArguments> ParseArguments(const Arguments& args) {
    constexpr DeclaredOption kOptions[] = {
        {"--mode", true},    {"--table", false},         {"--spectra", false},     {"--status", false},
        {"--form", true},    {"--classes", true},        {"--final-results", false},
        {"--force", false},  {"--settings-dir", true},   {"-o", true},          {"--sheet", true},
    };
    const std::optional<ParsedOptions> options = ParseOptions(args, kOptions);
    if (!options || options->operands().size() != 1 || options->has("-o") == options->has("--sheet")) {
        return std::nullopt;
    }
    ExportArguments parsed;
    parsed.input = options->operands()[0];
    parsed.sheet = options->has("--sheet");
    if (parsed.sheet) {
        // A spreadsheet holds the table alone, in a format its name gives.
        for (const char* other : {"--spectra", "--status", "--form"}) {
            if (options->has(other)) return std::nullopt;
        }
        parsed.output = options->value("--sheet");
        if (!SheetFormatOf(parsed.output)) {
            std::fprintf(stderr, "ravik export: %s: a spreadsheet file ends in .csv or .xlsx\n", parsed.output.c_str());
            return std::nullopt;
        }
    } else {
        parsed.output = options->value("-o");
    }
    parsed.settingsDirectory = options->value("--settings-dir");
    parsed.force = options->has("--force");
    parsed.choices.device = OutputDevice::ExportFile;
    parsed.choices.table = parsed.sheet || options->has("--table");
    parsed.choices.lowSpectrum = options->has("--spectra");
    parsed.choices.status = options->has("--status");
    if (options->has("--final-results")) parsed.choices.subResults = false;
    parsed.choices.mode = ModeNamed(options->value("--mode"));
    if (!parsed.choices.mode) return std::nullopt;
    if (options->has("--form")) {
        const std::string& form = options->value("--form");
        if (form.size() != 1 || form[0] < '0' || form[0] > '3') return std::nullopt;
        parsed.form = form[0] - '0';
    }
    if (options->has("--classes") && !TakeClasses(options->value("--classes"), parsed.choices)) return std::nullopt;
    return parsed;
}

// The name dialog of a headless export: the name given with -o.
class OutputPathChooser final : public FileChooser {
public:
    explicit OutputPathChooser(std::string output) : output_(std::move(output)) {}
    bool askFileName(std::string& path, int /*purpose*/) override {
        path = output_;
        return true;
    }

private:
    std::string output_;
};

}  // namespace

int RunExport(const Arguments& args) {
    const std::optional<ExportArguments> parsed = ParseArguments(args);
    if (!parsed) return Usage();
    // Questions are answered Yes only with --force.
    StderrPrompter prompter(parsed->force ? Answer::Yes : Answer::No);
    if (!RequireOutputKind(parsed->choices, prompter)) return 2;

    Settings settings;
    const std::string directory =
        parsed->settingsDirectory.empty() ? DataDirectory() : parsed->settingsDirectory;
    if (!LoadSubcommandSettings(directory, settings, prompter)) return 1;
    if (parsed->form) settings.exportForm = *parsed->form;

    ReadingStore store;
    settings.download = kDownloadDone;  // as opening a file does
    if (!InputLoadedEnough(LoadReadingsFile(store, parsed->input, kOpenCommand, prompter), parsed->force)) {
        return 1;
    }
    const Mode mode = *parsed->choices.mode;
    if (store.count(mode) == 0) {
        std::fprintf(stderr, "ravik export: %s holds no %s readings\n", parsed->input.c_str(), WindowText(mode));
        return 1;
    }

    if (parsed->sheet) {
        if (!MayWriteOutput(parsed->output, {parsed->input}, parsed->force, prompter)) return 1;
        const SheetSource source{store, settings, mode, SelectionFrom(parsed->choices)};
        if (!SaveSpreadsheet(source, parsed->output, prompter)) return 1;
        std::printf("%s\n", parsed->output.c_str());
        return 0;
    }

    const ExportRequest request{store, settings, parsed->choices};
    // Every file the export would replace is refused before anything is written.
    for (const std::string& target : ExportTargets(request, parsed->output)) {
        if (!MayWriteOutput(target, {parsed->input}, parsed->force, prompter)) return 1;
    }
    OutputPathChooser chooser(parsed->output);
    std::string path;
    const ExportResult result = RunFileExport(request, path, chooser, prompter);
    for (const std::string& written : result.written) std::printf("%s\n", written.c_str());
    return result.outcome == ExportOutcome::Written ? 0 : 1;
}

}  // namespace ravik
