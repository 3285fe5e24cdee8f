// "ravik print INPUT.qvr --mode MODE [--table] [--low] [--high] [--status] ... --pdf OUT.pdf":
// the printer's pages without a display, drawn by the same page printers
// into one PDF file.

#include <QGuiApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>

#include "core/shell/output_arguments.h"
#include "ui/frame/print_command.h"
#include "ui/output/print_jobs.h"
#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"

namespace ravik {

namespace {

struct PrintArguments {
    std::string input;
    std::string pdf;
    std::string settingsDirectory;
    OutputChoices choices;
};

int Usage() {
    std::fprintf(stderr, "usage: %s\n", kPrintUsage);
    return 2;
}

std::optional<PrintArguments> ParseArguments(const Arguments& args) {
    PrintArguments parsed;
    parsed.choices.device = OutputDevice::PdfFile;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--table") {
            parsed.choices.table = true;
        } else if (arg == "--low") {
            parsed.choices.lowSpectrum = true;
        } else if (arg == "--high") {
            parsed.choices.highSpectrum = true;
        } else if (arg == "--status") {
            parsed.choices.status = true;
        } else if (arg == "--marked") {
            parsed.choices.markedOnly = true;
        } else if (arg == "--final-results") {
            parsed.choices.subResults = false;
        } else if (arg == "--mode" && hasValue) {
            parsed.choices.mode = ModeNamed(args[++i]);
            if (!parsed.choices.mode) return std::nullopt;
        } else if (arg == "--classes" && hasValue) {
            if (!TakeClasses(args[++i], parsed.choices)) return std::nullopt;
        } else if (arg == "--settings-dir" && hasValue) {
            parsed.settingsDirectory = args[++i];
        } else if (arg == "--pdf" && hasValue) {
            parsed.pdf = args[++i];
        } else if (!arg.empty() && arg[0] != '-' && parsed.input.empty()) {
            parsed.input = arg;
        } else {
            return std::nullopt;
        }
    }
    if (parsed.input.empty() || parsed.pdf.empty() || !parsed.choices.mode) return std::nullopt;
    return parsed;
}

}  // namespace

int RunPrint(const Arguments& args) {
    const std::optional<PrintArguments> parsed = ParseArguments(args);
    if (!parsed) return Usage();
    StderrPrompter prompter;
    if (!RequireOutputKind(parsed->choices, prompter)) return 2;

    Settings settings;
    const std::string directory = parsed->settingsDirectory.empty() ? DataDirectory() : parsed->settingsDirectory;
    if (!LoadSubcommandSettings(directory, settings, prompter)) return 1;
    ReadingStore store;
    settings.download = kDownloadDone;  // as opening a file does
    if (LoadReadingsFile(store, parsed->input, kOpenCommand, prompter) != LoadOutcome::Whole) return 1;
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

    // Fonts and PDF pages need a GUI application, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "ravik";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const PrintSource source{store, settings, SelectionFrom(parsed->choices), parsed->input};
    std::string error;
    if (!PrintRequestsToPdf(parsed->pdf, source, requests, error)) {
        std::fprintf(stderr, "ravik print: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", parsed->pdf.c_str());
    return 0;
}

}  // namespace ravik
