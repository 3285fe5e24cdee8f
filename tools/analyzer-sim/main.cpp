// ravik-analyzer-sim: a simulated Orvex QV analyzer on a pseudo-terminal,
// the peer of the end-to-end tests and a demonstration partner for ravik.

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "analyzer.h"
#include "dump_stream.h"
#include "core/link/serial_config.h"
#include "make-sample/sample_file.h"
#include "core/platform/file_io.h"
#include "pty_master.h"
#include "sim_options.h"

namespace {

using ravik::sim::SimOptions;

constexpr const char* kHelp =
    "usage: ravik-analyzer-sim [OPTIONS]\n"
    "\n"
    "A simulated Orvex QV analyzer on a pseudo-terminal. It prints the device\n"
    "path on stdout; give that path to ravik as the port (ravik receive --port,\n"
    "ravik probe --port, or RAVIK_COM1=PATH for the desktop program). It runs\n"
    "until interrupted.\n"
    "\n"
    "The line\n"
    "  --link PATH           also make PATH a symbolic link to the device\n"
    "  --baud INDEX          the analyzer's rate: 0 9.6K (default), 1 19.2K, 2 38.4K,\n"
    "                        3 56.0K, 4 115.2K; requests at another rate go unheard\n"
    "  --paced               send no faster than the rate (10 bits a byte)\n"
    "  --ignore-xoff         keep sending when the program sends XOFF\n"
    "\n"
    "Fast Data Dump (sent when the program opens the line at the analyzer's rate)\n"
    "  --dump FILE           the readings file to send\n"
    "  --readings N          send a generated file of N readings instead\n"
    "  --seed S              the generated file's seed (and the junk bytes'), default 1\n"
    "  --compact             the generated file has the shortest spectra\n"
    "  --dump-delay MS       wait after the line was opened, default 200\n"
    "\n"
    "Remote control and library download\n"
    "  --portrait            the screen stands upright (portrait dumps)\n"
    "  --library-screen      the custom library screen is shown: 141 is answered\n"
    "                        with \"9\" and a library download is taken\n"
    "  --library-report FILE write what a download delivered to FILE: \"count N\",\n"
    "                        one tab-separated \"alloy\" line per alloy (name, then\n"
    "                        low and high of the 19 pairs), \"searchIndex\" and its 13\n"
    "                        values, then \"complete\", \"aborted\" or \"refused\"\n"
    "\n"
    "Faults\n"
    "  --cut-after BYTES     the dump stops after BYTES bytes\n"
    "  --junk-every N        a random byte after every N bytes sent\n"
    "  --silent-after N      no answers (replies, acknowledgements) after N of them\n"
    "  --help                this text\n";

volatile std::sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

int64_t NowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ParseLong(const char* text, long lo, long hi, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return *text != '\0' && *end == '\0' && value >= lo && value <= hi;
}

bool Parse(int argc, char** argv, SimOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--paced") { options.paced = true; continue; }
        if (option == "--ignore-xoff") { options.honourXoff = false; continue; }
        if (option == "--compact") { options.compactSpectra = true; continue; }
        if (option == "--portrait") { options.portrait = true; continue; }
        if (option == "--library-screen") { options.libraryScreen = true; continue; }
        if (i + 1 == argc) return false;
        const char* value = argv[++i];
        long number = 0;
        if (option == "--link") {
            options.linkPath = value;
        } else if (option == "--dump") {
            options.dumpFile = value;
        } else if (option == "--library-report") {
            options.libraryReport = value;
        } else if (option == "--baud" && ParseLong(value, 0, 4, number)) {
            options.baudIndex = static_cast<int>(number);
        } else if (option == "--readings" && ParseLong(value, 1, 5100, number)) {
            options.sampleReadings = static_cast<int>(number);
        } else if (option == "--seed" && ParseLong(value, 0, 0xFFFFFFFFL, number)) {
            options.seed = static_cast<uint32_t>(number);
        } else if (option == "--dump-delay" && ParseLong(value, 0, 3600000, number)) {
            options.dumpDelayMillis = static_cast<int>(number);
        } else if (option == "--cut-after" && ParseLong(value, 0, 1L << 40, number)) {
            options.cutAfter = number;
        } else if (option == "--junk-every" && ParseLong(value, 1, 1L << 40, number)) {
            options.junkEvery = number;
        } else if (option == "--silent-after" && ParseLong(value, 0, 1L << 40, number)) {
            options.silentAfter = number;
        } else {
            return false;
        }
    }
    return options.dumpFile.empty() || options.sampleReadings == 0;
}

// The dump to send, or an empty stream when none was asked for.
bool LoadDump(const SimOptions& options, std::vector<uint8_t>& stream) {
    std::vector<uint8_t> file;
    if (!options.dumpFile.empty()) {
        if (ravik::ReadFileBytes(options.dumpFile, file, size_t{1} << 30) != ravik::FileStatus::Ok) {
            std::fprintf(stderr, "ravik-analyzer-sim: cannot read %s\n", options.dumpFile.c_str());
            return false;
        }
    } else if (options.sampleReadings > 0) {
        ravik::sample::SampleOptions sample;
        const int n = options.sampleReadings;
        sample.counts = {n - 3 * (n / 5), n / 5, n / 5, n / 5, 0};  // paint, bulk, thin, alloy
        sample.seed = options.seed;
        sample.compactSpectra = options.compactSpectra;
        file = ravik::sample::MakeReadingsFile(sample);
    } else {
        return true;
    }
    stream = ravik::sim::DumpStreamOf(file);
    if (options.cutAfter >= 0 && static_cast<size_t>(options.cutAfter) < stream.size()) {
        stream.resize(static_cast<size_t>(options.cutAfter));
    }
    return true;
}

// The bytes on their way to the program, with junk mixed in when asked for.
class Outgoing {
public:
    explicit Outgoing(const SimOptions& options) : junkEvery_(options.junkEvery), junkState_(options.seed) {}
    template <typename Bytes>
    void add(const Bytes& bytes) {
        for (uint8_t byte : bytes) {
            queue_.push_back(byte);
            if (junkEvery_ > 0 && ++sinceJunk_ == junkEvery_) {
                junkState_ = junkState_ * 6364136223846793005ull + 1442695040888963407ull;
                queue_.push_back(static_cast<uint8_t>(junkState_ >> 56));
                sinceJunk_ = 0;
            }
        }
    }
    std::deque<uint8_t>& queue() { return queue_; }

private:
    long junkEvery_;
    long sinceJunk_ = 0;
    uint64_t junkState_;
    std::deque<uint8_t> queue_;
};

uint32_t RateOf(int baudIndex) { return ravik::kBaudRates[static_cast<size_t>(baudIndex)].bitsPerSecond; }

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    SimOptions options;
    if (!Parse(argc, argv, options)) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    std::vector<uint8_t> dump;
    if (!LoadDump(options, dump)) return 1;

    ravik::sim::PtyMaster pty;
    if (!pty.ok()) {
        std::perror("ravik-analyzer-sim: pseudo-terminal");
        return 1;
    }
    if (!options.linkPath.empty()) {
        ::unlink(options.linkPath.c_str());
        if (::symlink(pty.slavePath().c_str(), options.linkPath.c_str()) != 0) {
            std::perror("ravik-analyzer-sim: --link");
            return 1;
        }
    }
    std::printf("%s\n", pty.slavePath().c_str());
    std::fflush(stdout);
    std::signal(SIGTERM, RequestStop);
    std::signal(SIGINT, RequestStop);
    std::signal(SIGPIPE, SIG_IGN);

    ravik::sim::Analyzer analyzer(options);
    Outgoing outgoing(options);
    bool held = false;  // the program sent XOFF
    bool dumpDone = dump.empty();
    int64_t dumpAt = -1;
    double credit = 0.0;  // bytes the paced line may send now
    int64_t lastMillis = NowMillis();

    while (stopRequested == 0) {
        const int64_t now = NowMillis();
        while (std::optional<ravik::sim::PtyMaster::Packet> packet = pty.read()) {
            const bool rateMatches = pty.lineRate() == RateOf(analyzer.baudIndex());
            if (packet->flushed) {
                held = false;  // a port that was just opened is ready
                if (!dumpDone && dumpAt < 0 && rateMatches) dumpAt = now + options.dumpDelayMillis;
            }
            for (uint8_t byte : packet->data) {
                if (byte == 0x13 || byte == 0x11) {
                    if (options.honourXoff) held = byte == 0x13;
                } else if (rateMatches) {
                    analyzer.receive(byte, now);
                }
            }
        }
        analyzer.idle(now);
        if (!dumpDone && dumpAt >= 0 && now >= dumpAt) {
            outgoing.add(dump);
            dumpDone = true;
        }
        outgoing.add(analyzer.output());
        analyzer.output().clear();

        if (options.paced) {
            const double perMilli = RateOf(analyzer.baudIndex()) / 10.0 / 1000.0;
            credit = std::min(credit + static_cast<double>(now - lastMillis) * perMilli, std::max(64.0, perMilli * 20));
        }
        lastMillis = now;
        std::deque<uint8_t>& queue = outgoing.queue();
        const bool sending = !queue.empty() && !held && !pty.hungUp();
        if (sending) {
            const size_t allowed = options.paced ? static_cast<size_t>(credit) : 512;
            std::vector<uint8_t> chunk(queue.begin(), queue.begin() + static_cast<long>(std::min(allowed, queue.size())));
            const size_t sent = chunk.empty() ? 0 : pty.write(chunk.data(), chunk.size());
            queue.erase(queue.begin(), queue.begin() + static_cast<long>(sent));
            if (options.paced) credit -= static_cast<double>(sent);
        }
        if (pty.hungUp()) {
            ::usleep(10000);  // nobody on the line: the master reports a hang-up at once
            continue;
        }
        pollfd waiting{pty.fd(), POLLIN, 0};
        int timeout = 50;
        if (sending && options.paced) {
            timeout = 1;
        } else if (sending) {
            waiting.events |= POLLOUT;
        }
        ::poll(&waiting, 1, timeout);
    }
    if (!options.linkPath.empty()) ::unlink(options.linkPath.c_str());
    return 0;
}
