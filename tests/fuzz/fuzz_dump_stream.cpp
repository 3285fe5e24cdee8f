// Any bytes as what the analyzer sends during a Fast Data Dump: fed through
// a scripted line in chunks whose size (and whether the port has sent XOFF)
// the first byte chooses, ticked until the line is empty; an accepted dump is
// loaded into a store.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "../unit/link/fake_line.h"
#include "core/link/dump_receiver.h"
#include "quiet_prompter.h"
#include "core/readings/reading_store.h"
#include "core/settings/settings.h"

namespace {

// One dump file for the whole run, in memory where the system has a tmpfs:
// emptying and refilling a file on a disk file system makes the kernel flush
// it on every close, which would be most of each run's time.
struct DumpFile {
    std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/ravik-fuzz-dump-" +
                       std::to_string(::getpid()) + ".tmp";
    ~DumpFile() { ::unlink(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    if (size == 0) return 0;
    static const DumpFile dumpFile;
    const std::string& dumpPath = dumpFile.path;
    // At most about 64 feeding ticks, whatever the input's length.
    const size_t chunk = std::max(static_cast<size_t>(data[0] & 0x3F) * 67 + 1, size / 64);
    test::FakeLine line;
    line.holds.xoffSent = (data[0] & 0x40) != 0;
    fuzz::QuietPrompter prompter;
    Settings settings;
    DumpReceiver receiver(line, prompter, settings, dumpPath);
    SerialPortConfig config;
    config.baudIndex = data[0] >> 5;
    if (!receiver.open(config)) return 0;

    size_t fed = 1;
    for (int ticks = 0; ticks < 4096 && receiver.phase() == DumpReceiver::Phase::Receiving; ++ticks) {
        const size_t next = std::min(chunk, size - fed);
        line.feed(std::span<const uint8_t>(data + fed, next));
        fed += next;
        receiver.tick();
        receiver.takeEvents();
        if (fed == size && receiver.lastTickBytes() == 0) break;
    }
    ReadingStore store;
    receiver.accept(store);
    receiver.end();
    return 0;
}
