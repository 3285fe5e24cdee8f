// "ravik library send FILE.lib --port DEVICE": downloads an alloy library to
// the analyzer as the library editor's Send does (the analyzer must show its
// custom library screen), with the "%d%% Complete" progress on stderr.

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/commands.h"
#include "core/shell/command_line.h"
#include "core/library/library_source.h"
#include "core/link/instrument_port.h"
#include "core/link/library_download.h"
#include "core/platform/clock.h"
#include "core/platform/prompter.h"

namespace ravik {

int RunLibrarySend(const Arguments& args) {
    constexpr DeclaredOption kOptions[] = {{"--port", true}};
    const std::optional<ParsedOptions> parsed = ParseOptions(args, kOptions);
    if (!parsed || parsed->operands().size() != 1 || !parsed->has("--port")) {
        std::fprintf(stderr, "usage: ravik library send FILE.lib --port DEVICE\n");
        return 2;
    }
    StderrPrompter prompter;
    AlloyLibrary library;
    if (ReadLibraryFile(parsed->operands()[0], library, prompter) == LibraryReadOutcome::Unreadable) return 1;
    // A library that did not read whole is refused by the download itself.

    SerialPortConfig config;
    config.device = parsed->value("--port");
    InstrumentPort port;
    SystemClock clock;
    LibraryDownload download(port, prompter, clock, config);
    if (!download.start(library)) return 1;
    std::string lastProgress;
    while (download.phase() == LibraryDownload::Phase::Probing || download.phase() == LibraryDownload::Phase::Sending) {
        download.tick();
        for (const DialogEvent& event : download.takeEvents()) {
            const TextEvent* text = std::get_if<TextEvent>(&event);
            if (text != nullptr && text->text != lastProgress) {
                lastProgress = text->text;
                std::fprintf(stderr, "%s\n", lastProgress.c_str());
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kLibraryTickMillis));
    }
    if (download.phase() != LibraryDownload::Phase::Done) return 1;
    std::printf("%zu alloys sent at %s\n", library.alloys.size(),
                kBaudRates[static_cast<size_t>(download.foundIndex())].label);
    return 0;
}

}  // namespace ravik
