// "ravik report INPUT.qvr [--modes LIST] [--readings LIST] [--template FILE] [--force] --pdf OUT.pdf":
// the client report without a display. The PDF is written as every other
// output is: never over the input or the template, never onto a folder,
// FIFO or device, an existing file only with --force, and a failed write
// leaves the previous file as it was. --force also reports what loaded of
// an input that was not read whole; an input that is no readings file is
// always refused. Bad template values are left out with a warning.

#include <cstdio>
#include <optional>

#include "core/output/report_layout.h"
#include "core/output/report_template.h"
#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/shell/command_line.h"
#include "core/shell/command_output.h"
#include "core/shell/output_arguments.h"
#include "ui/frame/report_command.h"
#include "ui/frame/subcommand_gui.h"
#include "ui/output/report_painter.h"

namespace ravik {

namespace {

struct ReportArguments {
    std::string input;
    std::string pdf;
    std::string templatePath;
    std::string settingsDirectory;
    bool force = false;
    ReportRequest request;
};

int Usage(const std::string& why = {}) {
    if (!why.empty()) std::fprintf(stderr, "ravik report: %s\n", why.c_str());
    std::fprintf(stderr, "usage: %s\n", kReportUsage);
    return 2;
}

constexpr DeclaredOption kOptions[] = {
    {"--modes", true}, {"--readings", true},     {"--template", true},
    {"--pdf", true},   {"--settings-dir", true}, {"--force", false},
};

std::optional<ReportArguments> ParseArguments(const Arguments& args, std::string& why) {
    const std::optional<ParsedOptions> options = ParseOptions(args, kOptions);
    if (!options || options->operands().size() != 1 || options->operands().front().empty() || !options->has("--pdf")) {
        return std::nullopt;
    }
    ReportArguments parsed;
    parsed.input = options->operands().front();
    parsed.pdf = options->value("--pdf");
    parsed.templatePath = options->value("--template");
    parsed.settingsDirectory = options->value("--settings-dir");
    parsed.force = options->has("--force");
    if (options->has("--modes")) {
        parsed.request.modes.fill(false);
        const std::string list = options->value("--modes");
        size_t start = 0;
        while (start <= list.size()) {
            const size_t comma = std::min(list.find(',', start), list.size());
            const std::optional<Mode> mode = ModeNamed(list.substr(start, comma - start));
            if (!mode) {
                why = "unknown mode in \"" + list + "\"";
                return std::nullopt;
            }
            parsed.request.modes[static_cast<size_t>(Index(*mode))] = true;
            start = comma + 1;
        }
    }
    if (options->has("--readings")) {
        parsed.request.picks = ParseReadingList(options->value("--readings"), why);
        if (!parsed.request.picks) return std::nullopt;
    }
    return parsed;
}

}  // namespace

int RunReport(const Arguments& args) {
    std::string why;
    const std::optional<ReportArguments> parsed = ParseArguments(args, why);
    if (!parsed) return Usage(why);
    StderrPrompter prompter(parsed->force ? Answer::Yes : Answer::No);
    std::vector<std::string> inputs = {parsed->input};
    if (!parsed->templatePath.empty()) inputs.push_back(parsed->templatePath);
    if (!MayWriteOutput(parsed->pdf, inputs, parsed->force, prompter)) return 1;

    Settings settings;
    const std::string directory = parsed->settingsDirectory.empty() ? DataDirectory() : parsed->settingsDirectory;
    if (!LoadSubcommandSettings(directory, settings, prompter)) return 1;
    ReadingStore store;
    settings.download = kDownloadDone;
    if (!InputLoadedEnough(LoadReadingsFile(store, parsed->input, kOpenCommand, prompter), parsed->force)) return 1;

    ReportSource source;
    std::vector<std::string> warnings;
    if (parsed->templatePath.empty()) {
        LoadDataDirectoryTemplate(directory, source.layoutTemplate, warnings);
    } else if (!ReadReportTemplate(parsed->templatePath, source.layoutTemplate, warnings)) {
        std::fprintf(stderr, "ravik report: %s\n", warnings.back().c_str());
        return 1;
    }
    std::string error;
    std::optional<ReportContent> content = BuildReportContent(store, settings, parsed->request, error);
    if (!content) {
        std::fprintf(stderr, "ravik report: %s: %s\n", parsed->input.c_str(), error.c_str());
        return 1;
    }
    source.content = std::move(*content);
    source.date = ReportDateToday();

    const SubcommandGui gui;
    const bool written = WriteReportPdf(parsed->pdf, source, warnings, error);
    for (const std::string& warning : warnings) std::fprintf(stderr, "ravik report: warning: %s\n", warning.c_str());
    if (!written) {
        prompter.error(error, "SAVE ERROR");
        return 1;
    }
    std::printf("%s\n", parsed->pdf.c_str());
    return 0;
}

}  // namespace ravik
