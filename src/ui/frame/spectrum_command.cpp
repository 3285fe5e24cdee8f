// "ravik spectrum INPUT.qvr --mode M --readings LIST [...] -o OUT": the
// options are read by the core's request parser, the readings taken out of
// the file and overlaid by the core, and the picture drawn by the compare
// window's painter. The output keeps the rules of every subcommand: never
// over the input or onto a folder, FIFO or device, an existing file only
// with --force, written whole or not at all. The .msa and .csv outputs,
// which ravik writes itself, are written here the same way when the
// desktop executable is asked for them.

#include <cstdio>
#include <optional>

#include "core/platform/data_dir.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/shell/command_output.h"
#include "core/shell/output_arguments.h"
#include "core/shell/spectrum_request.h"
#include "core/views/element_lines.h"
#include "ui/frame/spectrum_command.h"
#include "ui/frame/subcommand_gui.h"
#include "ui/views/compare_painter.h"

namespace ravik {

namespace {

// The picture's size: pixels for PNG and SVG, points for a PDF page.
constexpr int kPictureWidth = 1600;
constexpr int kPictureHeight = 1000;
constexpr int kPdfWidth = 842;  // an A4 page's long side
constexpr int kPdfHeight = 526;

int UsageError(const std::string& message) {
    if (!message.empty()) std::fprintf(stderr, "ravik spectrum: %s\n", message.c_str());
    std::fprintf(stderr, "usage: %s\n", kSpectrumUsage);
    return 2;
}

}  // namespace

int RunSpectrum(const Arguments& args) {
    std::string error;
    const std::optional<SpectrumRequest> request = ParseSpectrumRequest(args, error);
    if (!request) return UsageError(error);
    StderrPrompter prompter(request->force ? Answer::Yes : Answer::No);
    if (!request->outputIsFolder && !MayWriteOutput(request->output, {request->input}, request->force, prompter)) {
        return 1;
    }

    Settings settings;
    const std::string directory = request->settingsDirectory.empty() ? DataDirectory() : request->settingsDirectory;
    if (!LoadSubcommandSettings(directory, settings, prompter)) return 1;
    ReadingStore store;
    settings.download = kDownloadDone;  // as opening a file does
    if (!InputLoadedEnough(LoadReadingsFile(store, request->input, kOpenCommand, prompter), request->force)) return 1;
    std::optional<SpectrumJob> job = PrepareSpectrumJob(*request, store, settings, error);
    if (!job) return UsageError(error);
    for (const std::string& remark : job->remarks) std::fprintf(stderr, "ravik spectrum: %s\n", remark.c_str());
    if (job->overlay.curves.empty()) {
        std::fprintf(stderr, "ravik spectrum: none of the readings has a %s spectrum\n",
                     BandText(request->overlay.band));
        return 1;
    }

    if (!DrawsWithQt(request->kind)) {
        for (const std::string& target : SpectrumFileTargets(*request, *job)) {
            if (!MayWriteOutput(target, {request->input}, request->force, prompter)) return 1;
        }
        std::string failedPath;
        if (WriteSpectrumFiles(*request, *job, failedPath) != FileStatus::Ok) {
            prompter.error("Cannot write " + failedPath + "; no file was changed.", "SAVE ERROR");
            return 1;
        }
        for (const std::string& target : SpectrumFileTargets(*request, *job)) std::printf("%s\n", target.c_str());
        return 0;
    }

    const SubcommandGui gui;

    CompareScene scene;
    scene.comparison = &job->comparison;
    scene.overlay = &job->overlay;
    scene.window = job->window;
    scene.scale = request->scale;
    scene.normalisation = request->overlay.normalisation;
    for (int z : request->elements) {
        for (const XrayLine& line : XrayLineTable::Instance().linesOf(z, job->window.fromKeV, job->window.toKeV)) {
            scene.markers.push_back({ElementSymbol(z), line.name, line.keV});
        }
    }
    const bool pdf = request->kind == SpectrumOutput::Pdf;
    if (!WriteSceneImage(scene, request->output, pdf ? kPdfWidth : kPictureWidth, pdf ? kPdfHeight : kPictureHeight,
                         error)) {
        prompter.error(error, "SAVE ERROR");
        return 1;
    }
    std::printf("%s\n", request->output.c_str());
    return 0;
}

}  // namespace ravik
