// Any bytes as the analyzer's replies during remote control: a session is
// connected through a scripted line, the first byte switches the polls and
// AutoStart on or off, and the rest arrives in chunks of varying size, one
// chunk per timer tick, so replies are framed, decoded and drawn from
// whatever comes.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "../unit/link/fake_line.h"
#include "core/link/remote_session.h"
#include "quiet_prompter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    if (size < 2) return 0;
    test::FakeClock clock;
    test::FakeLine line(&clock);
    line.onWrite = [](test::FakeLine& l, std::span<const uint8_t> bytes) {
        if (bytes.size() == 1 && bytes[0] == R_WHAT_SCREEN) l.feed(std::vector<uint8_t>{R_WHAT_SCREEN, '1', 0x1A});
    };
    fuzz::QuietPrompter prompter;
    SerialPortConfig config;
    config.baudIndex = data[0] % 5;
    RemoteSession session(line, prompter, clock, config);
    session.start();
    while (session.phase() == RemoteSession::Phase::Searching) {
        session.tick();
        clock.advanceMillis(1000);
    }
    if (session.phase() != RemoteSession::Phase::Connected) return 0;
    line.onWrite = nullptr;

    const uint8_t switches = data[0];
    session.setScreenPolling((switches & 0x08) != 0);
    session.setSpectraPolling((switches & 0x10) != 0);
    session.setPassFailPolling((switches & 0x20) != 0);
    if ((switches & 0x40) != 0) session.selectAlloy("316SS");
    if ((switches & 0x80) != 0) session.autoStart("1.5", "2");

    size_t at = 2;
    // At most about 64 feeding ticks: a long input in one-byte chunks would
    // spend the run formatting the per-tick diagnostics, not framing replies.
    const size_t chunk = std::max(size_t{data[1]} * 13 + 1, size / 64);
    while (at < size && session.phase() == RemoteSession::Phase::Connected) {
        const size_t next = std::min(chunk, size - at);
        line.feed(std::span<const uint8_t>(data + at, next));
        at += next;
        session.tick();
        clock.advanceMillis(kRemoteTickMillis);
        session.takeEvents();
    }
    for (int quiet = 0; quiet < 120 && session.phase() == RemoteSession::Phase::Connected; ++quiet) {
        session.tick();
        clock.advanceMillis(500);
        session.takeEvents();
    }
    session.exit();
    return 0;
}
