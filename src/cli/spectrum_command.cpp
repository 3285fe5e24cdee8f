// "ravik spectrum INPUT.qvr --mode MODE --readings LIST ... -o OUT": the
// spectra of chosen readings as EMSA/MAS files or one CSV table, written
// here without Qt; a picture (.png, .svg, .pdf) is drawn by ravik-desktop,
// to which the command is handed. Files are written as every output is:
// never over the input or onto a folder, FIFO or device, existing files only
// with --force, and all of them or none.

#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "cli/desktop_launch.h"
#include "core/platform/data_dir.h"
#include "core/platform/file_io.h"
#include "core/platform/prompter.h"
#include "core/readings/readings_loader.h"
#include "core/shell/command_output.h"
#include "core/shell/output_arguments.h"
#include "core/shell/spectrum_request.h"

namespace ravik {

namespace {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "ravik spectrum: %s\nusage: %s\n", message.c_str(), kSpectrumUsage);
    return 2;
}

// The picture outputs go to the desktop program with the same words.
int HandPictureToDesktop(const Arguments& args) {
    std::vector<std::string> words = {"ravik", "spectrum"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    for (const Subcommand& command : Subcommands()) {
        if (std::strcmp(command.name, "spectrum") == 0) return HandToDesktopProgram(command, argv.data());
    }
    return 2;
}

}  // namespace

int RunSpectrum(const Arguments& args) {
    if (SpectrumCallDrawsWithQt(args)) return HandPictureToDesktop(args);
    std::string error;
    const std::optional<SpectrumRequest> request = ParseSpectrumRequest(args, error);
    if (!request) return UsageError(error);
    // Questions are answered Yes only with --force.
    StderrPrompter prompter(request->force ? Answer::Yes : Answer::No);

    Settings settings;
    const std::string directory = request->settingsDirectory.empty() ? DataDirectory() : request->settingsDirectory;
    if (!LoadSubcommandSettings(directory, settings, prompter)) return 1;
    ReadingStore store;
    if (!InputLoadedEnough(LoadReadingsFile(store, request->input, kOpenCommand, prompter), request->force)) {
        return 1;
    }
    const std::optional<SpectrumJob> job = PrepareSpectrumJob(*request, store, settings, error);
    if (!job) return UsageError(error);
    for (const std::string& remark : job->remarks) std::fprintf(stderr, "ravik spectrum: %s\n", remark.c_str());
    if (job->overlay.curves.empty()) {
        std::fprintf(stderr, "ravik spectrum: none of the readings has a %s spectrum; nothing written\n",
                     BandText(request->overlay.band));
        return 1;
    }
    const std::vector<std::string> targets = SpectrumFileTargets(*request, *job);
    // Every file the command would replace is refused before anything is written.
    for (const std::string& target : targets) {
        if (!MayWriteOutput(target, {request->input}, request->force, prompter)) return 1;
    }
    std::string failedPath;
    const FileStatus status = WriteSpectrumFiles(*request, *job, failedPath);
    if (status != FileStatus::Ok) {
        std::fprintf(stderr, "ravik spectrum: cannot write %s; no file was changed\n", failedPath.c_str());
        return 1;
    }
    for (const std::string& written : targets) std::printf("%s\n", written.c_str());
    return 0;
}

}  // namespace ravik
