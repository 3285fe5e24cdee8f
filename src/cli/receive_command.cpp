// "ravik receive --port DEVICE [--baud INDEX] -o OUT.qvr [--timeout SECONDS]
// [--force]": receives a Fast Data Dump headless, with the dump dialog's
// progress lines on stderr, then loads it as a File Open would and saves it
// to OUT. When no byte arrives for SECONDS (default 60), or the transfer
// fails, the dump is discarded: nothing is written under OUT. A dump with
// damaged readings saves the readings that loaded whole and exits with
// kPartialExit. An existing OUT is replaced only with --force.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/shell/command_output.h"
#include "cli/commands.h"
#include "core/link/dump_receiver.h"
#include "core/link/instrument_port.h"
#include "core/platform/clock.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"
#include "core/readings/readings_saver.h"
#include "core/settings/settings.h"

namespace ravik {

namespace {

constexpr const char* kUsage =
    "ravik receive --port DEVICE [--baud INDEX] -o OUT.qvr [--timeout SECONDS] [--force]";

int Usage() {
    std::fprintf(stderr, "usage: %s\n", kUsage);
    return 2;
}

struct ReceiveOptions {
    SerialPortConfig port;
    std::string output;
    int timeoutSeconds = 60;
    bool force = false;
};

bool ParseNumber(const std::string& text, int lo, int hi, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < lo || number > hi) return false;
    value = static_cast<int>(number);
    return true;
}

bool Parse(const Arguments& args, ReceiveOptions& options) {
    options.port.device.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--force") {
            options.force = true;
            continue;
        }
        if (++i == args.size()) return false;
        const std::string& value = args[i];
        if (option == "--port") {
            options.port.device = value;
        } else if (option == "--baud") {
            if (!ParseNumber(value, 0, kBaudCount - 1, options.port.baudIndex)) return false;
        } else if (option == "-o") {
            options.output = value;
        } else if (option == "--timeout") {
            if (!ParseNumber(value, 1, 24 * 3600, options.timeoutSeconds)) return false;
        } else {
            return false;
        }
    }
    return !options.port.device.empty() && !options.output.empty();
}

// Writes what the dialog would show: the header once it arrived, and the
// progress line whenever it changed.
void Report(const std::vector<DialogEvent>& events, std::string& lastProgress) {
    for (const DialogEvent& event : events) {
        const TextEvent* text = std::get_if<TextEvent>(&event);
        if (text == nullptr) continue;
        if (text->control == dump_control::kPrompt) {
            std::fprintf(stderr, "%s\n", Cp1252ToUtf8(text->text).c_str());
        } else if (text->control == dump_control::kProgress && text->text != lastProgress) {
            lastProgress = text->text;
            std::fprintf(stderr, "%s\n", lastProgress.c_str());
        }
    }
}

}  // namespace

int RunReceive(const Arguments& args) {
    ReceiveOptions options;
    if (!Parse(args, options)) return Usage();

    Settings settings;
    StderrPrompter prompter;
    const std::string target = SaveTargetName(options.output, false);
    if (!MayWriteOutput(target, {}, options.force, prompter)) return 1;
    InstrumentPort port;
    SystemClock clock;
    DumpReceiver receiver(port, prompter, settings, DumpTempPath());
    if (!receiver.open(options.port)) return 1;
    std::fprintf(stderr, "Waiting for a Fast Data Dump at %s on %s\n",
                 kBaudRates[static_cast<size_t>(options.port.baudIndex)].label, options.port.device.c_str());

    std::string lastProgress;
    int64_t lastActivity = clock.milliseconds();
    for (;;) {
        receiver.tick();
        Report(receiver.takeEvents(), lastProgress);
        if (receiver.phase() != DumpReceiver::Phase::Receiving) {
            receiver.end();
            std::fprintf(stderr, "The dump failed and was discarded\n");
            return 1;
        }
        if (receiver.lastTickBytes() > 0) {
            lastActivity = clock.milliseconds();
        } else if (receiver.acceptEnabled()) {
            break;  // every reading arrived and the line has gone quiet
        } else if (clock.milliseconds() - lastActivity > int64_t{options.timeoutSeconds} * 1000) {
            receiver.end();
            std::fprintf(stderr, "Nothing received for %d seconds: the dump was discarded\n", options.timeoutSeconds);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kDumpTickMillis));
    }

    ReadingStore store;
    const LoadOutcome outcome = receiver.accept(store).outcome;
    if (outcome != LoadOutcome::Whole && outcome != LoadOutcome::Damaged) return 1;
    std::string savedAs;
    if (!SaveReadingsFile(store, target, "", savedAs, prompter)) return 1;
    if (outcome == LoadOutcome::Damaged) {
        std::printf("%d of %d readings saved to %s\n", store.readingCount, receiver.state().total, savedAs.c_str());
        return kPartialExit;
    }
    std::printf("%d readings saved to %s\n", store.readingCount, savedAs.c_str());
    return 0;
}

}  // namespace ravik
