// "ravik receive --port DEVICE [--baud INDEX] -o OUT.qvr [--timeout SECONDS]
// [--force]": receives a Fast Data Dump headless, with the dump dialog's
// progress lines on stderr, then loads it as a File Open would and saves it
// to OUT. OUT is checked before the port opens, so a dump is never taken
// only to find that it cannot be saved. An existing OUT is replaced only with
// --force.
//
// A dump that ends short of whole (no byte for SECONDS, default 60, or a
// fault that stops the transfer), or whose readings are partly damaged,
// saves the readings that arrived whole, says "n of m readings saved to OUT"
// and exits with kPartialExit; m is the count the dump's header announced
// (without a whole header no reading can have arrived). With no whole
// reading nothing is written and the exit is 1. Every such ending says that
// "ravik.tmp" holds the raw bytes, which stay there until the next receive.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "cli/commands.h"
#include "core/link/dump_receiver.h"
#include "core/link/instrument_port.h"
#include "core/platform/clock.h"
#include "core/platform/file_io.h"
#include "core/platform/format_text.h"
#include "core/platform/prompter.h"
#include "core/platform/text1252.h"
#include "core/readings/readings_saver.h"
#include "core/settings/settings.h"
#include "core/shell/command_line.h"
#include "core/shell/command_output.h"

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
    static constexpr DeclaredOption kSpecs[] = {
        {"--port", true}, {"--baud", true}, {"-o", true}, {"--timeout", true}, {"--force", false}};
    const std::optional<ParsedOptions> parsed = ParseOptions(args, kSpecs);
    if (!parsed || !parsed->operands().empty() || !parsed->has("--port") || !parsed->has("-o")) return false;
    options.port.device = parsed->value("--port");
    options.output = parsed->value("-o");
    options.force = parsed->has("--force");
    if (parsed->has("--baud") && !ParseNumber(parsed->value("--baud"), 0, kBaudCount - 1, options.port.baudIndex)) {
        return false;
    }
    return !parsed->has("--timeout") || ParseNumber(parsed->value("--timeout"), 1, 24 * 3600, options.timeoutSeconds);
}

// The output is checked before the port opens: it must pass the rules of
// every subcommand (and not be the dump file), and its folder must take a
// new file, which a staged file that is never committed proves.
bool OutputWritable(const std::string& target, bool force, const std::string& dumpPath, Prompter& prompter) {
    if (!MayWriteOutput(target, {dumpPath}, force, prompter)) return false;
    StagedFile probe(target);
    if (probe.finish() == FileStatus::Ok) return true;
    prompter.error(FormatText("Cannot Create File\n%s\nFile Not Saved", target.c_str()), "SAVE ERROR");
    return false;
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

// Loading the rest of a dump that ended early: the loader's "File Damaged"
// box would only restate that, so its boxes are not shown.
class SilentPrompter final : public Prompter {
public:
    Answer ask(const std::string&, const std::string&, Buttons, Icon) override { return Answer::No; }
    int choose(const ChoiceDialog&) override { return kCancelId; }
};

// Every ending short of a whole, saved dump names the file that keeps what
// arrived; it stays there until the next receive empties it.
void TellDumpKept(const std::string& what, const std::string& dumpPath) {
    std::fprintf(stderr, "%s; the raw bytes of the dump are in %s\n", what.c_str(), dumpPath.c_str());
}

enum class Ending {
    Complete,  // every announced reading arrived and the line went quiet
    Silent,    // no byte for the time-out, with readings still missing
    Stopped,   // a fault stopped the transfer (the receiver said which)
};

}  // namespace

int RunReceive(const Arguments& args) {
    ReceiveOptions options;
    if (!Parse(args, options)) return Usage();

    Settings settings;
    StderrPrompter prompter;
    const std::string dumpPath = DumpTempPath();
    const std::string target = SaveTargetName(options.output, false);
    if (!OutputWritable(target, options.force, dumpPath, prompter)) return 1;
    InstrumentPort port;
    SystemClock clock;
    DumpReceiver receiver(port, prompter, settings, dumpPath);
    if (!receiver.open(options.port)) return 1;
    std::fprintf(stderr, "Waiting for a Fast Data Dump at %s on %s\n",
                 kBaudRates[static_cast<size_t>(options.port.baudIndex)].label, options.port.device.c_str());

    std::string lastProgress;
    int64_t lastActivity = clock.milliseconds();
    Ending ending = Ending::Complete;
    for (;;) {
        receiver.tick();
        Report(receiver.takeEvents(), lastProgress);
        // Once every announced reading is in, the dump is whole whatever
        // follows it, as the dialog's Accept stays offered.
        if (receiver.phase() != DumpReceiver::Phase::Receiving && !receiver.acceptEnabled()) {
            ending = Ending::Stopped;
            break;
        }
        if (receiver.phase() == DumpReceiver::Phase::Receiving && receiver.lastTickBytes() > 0) {
            lastActivity = clock.milliseconds();
        } else if (receiver.acceptEnabled()) {
            break;
        } else if (clock.milliseconds() - lastActivity > int64_t{options.timeoutSeconds} * 1000) {
            ending = Ending::Silent;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kDumpTickMillis));
    }

    const DumpState state = receiver.state();
    ReadingStore store;
    LoadOutcome outcome = LoadOutcome::Unreadable;
    if (ending == Ending::Complete) {
        outcome = receiver.accept(store).outcome;
    } else {
        receiver.end();
        SilentPrompter quiet;
        if (state.headerDone) outcome = LoadReadingsFile(store, dumpPath, kOpenCommand, quiet);
    }
    const bool loaded = outcome == LoadOutcome::Whole || outcome == LoadOutcome::Damaged ||
                        outcome == LoadOutcome::OutOfMemory;
    const int saved = loaded ? store.readingCount : 0;

    if (ending != Ending::Complete) {
        std::string what = ending == Ending::Silent
                               ? FormatText("Nothing received for %d seconds", options.timeoutSeconds)
                               : std::string("The transfer stopped");
        what += state.headerDone ? FormatText(": the dump ended after %d of %d readings", state.received, state.total)
                                 : std::string(": the dump ended before its header was complete");
        if (saved == 0) what += "; no reading arrived whole, nothing was saved";
        TellDumpKept(what, dumpPath);
    } else if (!loaded) {
        TellDumpKept("The dump could not be loaded: nothing was saved", dumpPath);
    } else if (saved == 0) {
        TellDumpKept("No reading of the dump was whole: nothing was saved", dumpPath);
    }
    if (saved == 0) return 1;

    std::string savedAs;
    if (!SaveReadingsFile(store, target, "", savedAs, prompter)) {
        TellDumpKept("The readings were not saved", dumpPath);
        return 1;
    }
    if (ending == Ending::Complete && outcome == LoadOutcome::Whole) {
        std::printf("%d readings saved to %s\n", saved, savedAs.c_str());
        return 0;
    }
    if (ending == Ending::Complete) TellDumpKept("Not every reading of the dump loaded whole", dumpPath);
    std::printf("%d of %d readings saved to %s\n", saved, state.total, savedAs.c_str());
    return kPartialExit;
}

}  // namespace ravik
