// Receiving a Fast Data Dump of 300 readings through a pseudo-terminal, as
// the dump dialog does it: the InstrumentPort with its own flow-controlled
// queue and the DumpReceiver ticked every 100 ms. The analyzer's side runs
// in a thread that sends at a paced 115200 bit/s (10 bits a byte) and
// honours XOFF/XON. The reference is the line's own time for the same bytes;
// the "ratio" counter is the receive time over it (1.0 is the line's speed).
// A second run sends unpaced and ticks without pause: the receiving cost alone.

#include <asm/termbits.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/link/dump_receiver.h"
#include "core/link/instrument_port.h"
#include "make-sample/sample_file.h"
#include "core/platform/prompter.h"
#include "core/settings/settings.h"
#include "bench_support.h"

namespace ravik {
namespace {

using Clock = std::chrono::steady_clock;

// 300 readings with the shortest spectra, as the analyzer sends them: the
// header's text lines, then the records.
const std::vector<uint8_t>& DumpStream() {
    static const std::vector<uint8_t> stream = [] {
        sample::SampleOptions options;
        options.counts = {120, 60, 60, 60, 0};
        options.seed = 300;
        options.compactSpectra = true;
        const std::vector<uint8_t> file = sample::MakeReadingsFile(options);
        const auto textEnd = std::find(file.begin(), file.begin() + 256, uint8_t{0});
        std::vector<uint8_t> bytes(file.begin(), textEnd);
        bytes.insert(bytes.end(), file.begin() + 256, file.end());
        return bytes;
    }();
    return stream;
}

// The analyzer: sends the stream through the master side, no faster than
// `bytesPerSecond` (0: as fast as the line takes it), holding while XOFF.
void SendDump(int master, const std::vector<uint8_t>& bytes, double bytesPerSecond, std::atomic<bool>& stop) {
    size_t sent = 0;
    bool held = false;
    double credit = 0.0;
    auto last = Clock::now();
    while (sent < bytes.size() && !stop) {
        uint8_t control[64];
        for (ssize_t got; (got = ::read(master, control, sizeof control)) > 0;) {
            for (ssize_t i = 0; i < got; ++i) {
                if (control[i] == 0x13) held = true;
                if (control[i] == 0x11) held = false;
            }
        }
        const auto now = Clock::now();
        credit = std::min(credit + std::chrono::duration<double>(now - last).count() * bytesPerSecond, 64.0);
        last = now;
        const size_t allowed = bytesPerSecond > 0 ? static_cast<size_t>(credit) : 4096;
        if (!held && allowed > 0) {
            const ssize_t put = ::write(master, bytes.data() + sent, std::min(allowed, bytes.size() - sent));
            if (put > 0) {
                sent += static_cast<size_t>(put);
                credit -= static_cast<double>(put);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(bytesPerSecond > 0 ? 1000 : 100));
    }
}

// One receive: returns the seconds from the port's opening to the arrival
// of the last announced reading.
double ReceiveOnce(double bytesPerSecond, std::chrono::milliseconds tick) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    char name[128] = {};
    ::grantpt(master);
    ::unlockpt(master);
    ::ptsname_r(master, name, sizeof name);

    SerialPortConfig config;
    config.device = name;
    config.baudIndex = 4;
    InstrumentPort port;
    SilentPrompter prompter;
    Settings settings;
    const std::string dumpPath = (std::filesystem::temp_directory_path() / "ravik-bench-dump.tmp").string();
    DumpReceiver receiver(port, prompter, settings, dumpPath);
    if (!receiver.open(config)) return 0.0;

    std::atomic<bool> stop = false;
    const auto start = Clock::now();
    std::thread analyzer(SendDump, master, std::cref(DumpStream()), bytesPerSecond, std::ref(stop));
    while (!receiver.acceptEnabled() && receiver.phase() == DumpReceiver::Phase::Receiving) {
        receiver.tick();
        receiver.takeEvents();
        if (tick.count() > 0) std::this_thread::sleep_until(start + tick * ((Clock::now() - start) / tick + 1));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    stop = true;
    analyzer.join();
    receiver.end();
    ::close(master);
    std::filesystem::remove(dumpPath);
    return seconds;
}

void BM_PacedDumpAt115200(benchmark::State& state) {
    const double bytesPerSecond = 115200 / 10.0;
    const double lineSeconds = static_cast<double>(DumpStream().size()) / bytesPerSecond;
    double ratio = 0.0;
    for (auto _ : state) {
        const double seconds = ReceiveOnce(bytesPerSecond, std::chrono::milliseconds(kDumpTickMillis));
        state.SetIterationTime(seconds);
        ratio = seconds / lineSeconds;
    }
    state.counters["ratio"] = ratio;
    state.counters["line_s"] = lineSeconds;
    state.counters["KB"] = static_cast<double>(DumpStream().size()) / 1024.0;
}
BENCHMARK(BM_PacedDumpAt115200)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kSecond);

void BM_UnpacedDumpReceiveCost(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(ReceiveOnce(0.0, std::chrono::milliseconds(0)));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * DumpStream().size()));
}
BENCHMARK(BM_UnpacedDumpReceiveCost)->UseManualTime()->Repetitions(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ravik
