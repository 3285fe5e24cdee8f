// "ravik probe --port DEVICE": finds the analyzer's rate the way the remote
// and library dialogs do (141 at each rate from 9.6K, three seconds each)
// and prints its label, or tells that the instrument is not responding.

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/commands.h"
#include "core/shell/command_line.h"
#include "core/link/baud_probe.h"
#include "core/link/instrument_port.h"
#include "core/link/remote_session.h"
#include "core/platform/clock.h"
#include "core/platform/prompter.h"

namespace ravik {

int RunProbe(const Arguments& args) {
    constexpr DeclaredOption kOptions[] = {{"--port", true}};
    const std::optional<ParsedOptions> parsed = ParseOptions(args, kOptions);
    if (!parsed || !parsed->operands().empty() || !parsed->has("--port")) {
        std::fprintf(stderr, "usage: ravik probe --port DEVICE\n");
        return 2;
    }
    SerialPortConfig config;
    config.device = parsed->value("--port");
    InstrumentPort port;
    StderrPrompter prompter;
    SystemClock clock;
    BaudProbe probe(port, prompter, clock, config);
    while (probe.tick() == BaudProbe::Status::Searching) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kRemoteTickMillis));
    }
    if (probe.status() != BaudProbe::Status::Found) return 1;
    std::printf("%s\n", kBaudRates[static_cast<size_t>(probe.foundIndex())].label);
    return 0;
}

}  // namespace ravik
