#include <gtest/gtest.h>

#include <cstdio>

#include "fake_line.h"
#include "link/remote_session.h"
#include "support/scripted_prompter.h"

namespace ravik {
namespace {

using test::FakeClock;
using test::FakeLine;
using Bytes8 = std::vector<uint8_t>;

template <typename Event>
std::vector<Event> Only(const std::vector<DialogEvent>& events) {
    std::vector<Event> found;
    for (const DialogEvent& event : events) {
        if (const Event* e = std::get_if<Event>(&event)) found.push_back(*e);
    }
    return found;
}

std::vector<std::string> TextsOf(const std::vector<DialogEvent>& events, int control) {
    std::vector<std::string> texts;
    for (const TextEvent& e : Only<TextEvent>(events)) {
        if (e.control == control) texts.push_back(e.text);
    }
    return texts;
}

Bytes8 Reply(uint8_t code, Bytes8 payload) {
    payload.insert(payload.begin(), code);
    payload.push_back(kReplyTerminator);
    return payload;
}

Bytes8 TextReply(uint8_t code, const std::string& text) { return Reply(code, Bytes8(text.begin(), text.end())); }

Bytes8 Folded(uint32_t value) {
    Bytes8 bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    bytes.insert(bytes.end(), 4, 0);
    return bytes;
}

// A session against a scripted analyzer that echoes 141 at one rate.
struct Remote {
    FakeClock clock;
    FakeLine line{&clock};
    test::ScriptedPrompter prompter;
    RemoteSession session;
    int analyzerIndex;
    std::vector<DialogEvent> events;

    explicit Remote(int answeringIndex = 0, int configuredIndex = 0)
        : session(line, prompter, clock, Config(configuredIndex)), analyzerIndex(answeringIndex) {
        line.onWrite = [this](FakeLine& l, std::span<const uint8_t> bytes) {
            if (bytes.size() == 1 && bytes[0] == R_WHAT_SCREEN && l.opens.back().baudIndex == analyzerIndex) {
                l.feed(Bytes8{R_WHAT_SCREEN, '1', kReplyTerminator});
            }
        };
    }
    static SerialPortConfig Config(int index) {
        SerialPortConfig config;
        config.device = "/dev/analyzer";
        config.baudIndex = index;
        return config;
    }
    void search() {
        session.start();
        for (int i = 0; i < 40 && session.phase() == RemoteSession::Phase::Searching; ++i) tick(500);
    }
    void connect() {
        search();
        ASSERT_EQ(session.phase(), RemoteSession::Phase::Connected);
        line.written.clear();
        line.purges.clear();
        events.clear();
    }
    void tick(int64_t millis = kRemoteTickMillis) {
        session.tick();
        clock.advanceMillis(millis);
        auto taken = session.takeEvents();
        events.insert(events.end(), taken.begin(), taken.end());
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) tick();
    }
};

TEST(RemoteSession, BaudSearchStopsAtTheFirstRateThatEchoes141) {
    Remote remote(2);
    remote.search();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Connected);
    EXPECT_EQ(remote.session.baudIndex(), 2);
    std::vector<int> opened;
    for (const SerialPortConfig& config : remote.line.opens) opened.push_back(config.baudIndex);
    EXPECT_EQ(opened, (std::vector<int>{0, 1, 2, 2}));
    EXPECT_EQ(remote.line.written, (Bytes8{141, 141, 141}));
    EXPECT_EQ(Only<SelectEvent>(remote.events), (std::vector<SelectEvent>{{remote_control::kBaudList, 2}}));
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    EXPECT_TRUE(remote.prompter.boxes().empty());
}

TEST(RemoteSession, BaudSearchWaitsThreeWholeSecondsPerRate) {
    Remote remote(1);
    remote.session.start();
    remote.tick(2900);  // opens at 9.6K and asks
    remote.tick(0);
    EXPECT_EQ(remote.line.closes, 0);
    remote.tick(100);
    remote.tick(0);
    EXPECT_EQ(remote.line.closes, 1);
    EXPECT_EQ(remote.line.opens.size(), 1u);
}

TEST(RemoteSession, NoAnswerAtAnyRateEndsWithTheMessageAndKeepsTheConfiguredRate) {
    Remote remote(9, 3);
    remote.search();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Ended);
    EXPECT_EQ(remote.line.opens.size(), 5u);
    EXPECT_EQ(remote.line.opens.back().baudIndex, 4);
    EXPECT_EQ(remote.session.baudIndex(), 3);
    ASSERT_EQ(remote.prompter.boxes().size(), 1u);
    EXPECT_EQ(remote.prompter.boxes()[0].text,
              "Instrument not responding\r\nCheck instrument and connection\r\nand try again");
    EXPECT_EQ(remote.prompter.boxes()[0].caption, "ERROR");
    EXPECT_EQ(Only<EndEvent>(remote.events), (std::vector<EndEvent>{{1}}));
    EXPECT_FALSE(remote.line.isOpen());
}

TEST(RemoteSession, ArrowButtonsSendTheirCodesAndAskForTheScreen) {
    Remote remote;
    remote.connect();
    remote.session.up();
    remote.session.down();
    remote.session.clear();
    EXPECT_EQ(remote.line.written, (Bytes8{128, 129, 130}));
    remote.line.written.clear();
    remote.session.setScreenPolling(true);
    remote.session.up();
    remote.session.startMeasurement();
    EXPECT_EQ(remote.line.written, (Bytes8{128, 142, 139, 142}));
}

TEST(RemoteSession, PollsAtTheRateScaledPeriodAndLocksTheBaudList) {
    Remote remote(4);
    remote.connect();
    remote.session.setScreenPolling(true);
    remote.session.setSpectraPolling(true);
    remote.ticks(11);  // a poll once more than 50 / (4 + 1) = 10 ticks have passed
    EXPECT_TRUE(remote.line.written.empty());
    remote.tick();
    EXPECT_EQ(remote.line.written, (Bytes8{142, 146}));
    EXPECT_EQ(remote.session.pendingFlags(), pending::kSpectrumSignature);
    const std::vector<EnableEvent> enables = Only<EnableEvent>(remote.events);
    EXPECT_NE(std::find(enables.begin(), enables.end(), EnableEvent{remote_control::kBaudList, false}), enables.end());
    remote.ticks(12);  // the spectrum signature is still awaited: only the screen is asked again
    EXPECT_EQ(remote.line.written, (Bytes8{142, 146, 142}));
}

TEST(RemoteSession, ChangedSignaturesFetchTheDumps) {
    Remote remote;
    remote.connect();
    remote.line.feed(Reply(R_REFRESH_SCREEN_BIT, Folded(0x1A1A)));
    remote.line.feed(Reply(R_REFRESH_SPECTRA_ASK, Folded(77)));
    remote.line.feed(Reply(R_REFRESH_WSPECTRA_ASK, Folded(78)));
    remote.tick();
    EXPECT_EQ(remote.line.written, (Bytes8{144, 148, 0, 0, 1, 244, 149, 0, 0, 3, 232}));
    EXPECT_EQ(remote.session.pendingFlags(), pending::kScreenDump | pending::kSpectrumDump);
    // The same signatures again ask for nothing.
    remote.line.written.clear();
    remote.line.feed(Reply(R_REFRESH_SCREEN_BIT, Folded(0x1A1A)));
    remote.line.feed(Reply(R_REFRESH_SPECTRA_ASK, Folded(77)));
    remote.tick();
    EXPECT_TRUE(remote.line.written.empty());
}

Bytes8 ScreenDumpReply(uint8_t orientation, uint8_t fill) {
    Bytes8 payload(1 + kScreenBitmapBytes, fill);
    payload[0] = orientation;
    return Reply(R_DUMP_SCREEN_BIT, payload);
}

TEST(RemoteSession, ScreenDumpHoldingTerminatorBytesCompletesOnlyAtItsFullLength) {
    Remote remote;
    remote.connect();
    const Bytes8 dump = ScreenDumpReply(1, kReplyTerminator);
    remote.line.feed(std::span<const uint8_t>(dump).first(900));
    remote.tick();
    EXPECT_EQ(remote.session.currentReply(), R_DUMP_SCREEN_BIT);
    EXPECT_TRUE(Only<PictureEvent>(remote.events).empty());
    remote.line.feed(std::span<const uint8_t>(dump).subspan(900));
    remote.tick();
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    const std::vector<PictureEvent> pictures = Only<PictureEvent>(remote.events);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].control, remote_control::kLandscape);

    // Landscape to portrait greys the landscape box first.
    remote.events.clear();
    remote.line.feed(ScreenDumpReply(0, 0));
    remote.tick();
    ASSERT_EQ(remote.events.size() >= 2, true);
    EXPECT_EQ(Only<FillEvent>(remote.events), (std::vector<FillEvent>{{remote_control::kLandscape, Shade::Grey}}));
    EXPECT_EQ(Only<PictureEvent>(remote.events).at(0).control, remote_control::kPortrait);
    EXPECT_EQ(Only<PictureEvent>(remote.events).at(0).picture.width, 80);
}

TEST(RemoteSession, ShortDumpIsDroppedAfterTheReplyTimeLimit) {
    Remote remote(4);
    remote.connect();
    Bytes8 shortDump = ScreenDumpReply(1, 0);
    shortDump.resize(400);
    shortDump.push_back(kReplyTerminator);
    remote.line.feed(shortDump);
    remote.tick();
    EXPECT_EQ(remote.session.currentReply(), R_DUMP_SCREEN_BIT);
    remote.ticks(101);  // 500 / (4 + 1) = 100 ticks
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    EXPECT_EQ(remote.line.purges.back(), PurgeReceive | PurgeTransmit);
    EXPECT_EQ(remote.session.pendingFlags(), 0u);
}

TEST(RemoteSession, LongDumpResetsAndDropsWhatFollowsIt) {
    Remote remote;
    remote.connect();
    Bytes8 longDump = ScreenDumpReply(1, 0);
    longDump.back() = 0;  // byte 1602 is no terminator
    longDump.insert(longDump.end(), {5, kReplyTerminator});
    remote.line.feed(longDump);
    remote.line.feed(TextReply(R_DUMP_REGIONS_NOW, "a=1"));
    remote.tick();
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    EXPECT_TRUE(Only<PictureEvent>(remote.events).empty());
    EXPECT_TRUE(TextsOf(remote.events, remote_control::kLandscape).empty());
    EXPECT_EQ(remote.line.purges, (std::vector<unsigned>{PurgeReceive | PurgeTransmit}));
}

TEST(RemoteSession, UnknownCodePurgesAndStaysIdle) {
    Remote remote;
    remote.connect();
    remote.line.feed(Bytes8{200, R_DUMP_REGIONS_NOW, 'x', kReplyTerminator});
    remote.tick();
    EXPECT_EQ(TextsOf(remote.events, remote_control::kDiagnostic), (std::vector<std::string>{"UNK 200"}));
    EXPECT_EQ(remote.line.purges, (std::vector<unsigned>{PurgeReceive}));
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    EXPECT_TRUE(TextsOf(remote.events, remote_control::kLandscape).empty());
    // The idle marker is no reply.
    remote.line.feed(Bytes8{R_END_COMMANDS});
    remote.tick();
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
}

TEST(RemoteSession, EndlessReplyNeverOverrunsItsBuffer) {
    Remote remote;
    remote.connect();
    remote.line.feed(Bytes8{R_DUMP_SCREEN_TEXT});
    remote.line.feed(Bytes8(kReplyBufferSize + 10, 'z'));
    remote.ticks(2);
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    EXPECT_EQ(remote.line.purges.back(), PurgeReceive | PurgeTransmit);
}

TEST(RemoteSession, RepliesAreShownInTheirControls) {
    Remote remote;
    remote.connect();
    Bytes8 status = Folded(0);
    status.resize(8 + 17 * 4, 0);
    remote.line.feed(Reply(R_GET_STATUS, status));
    remote.line.feed(Reply(R_GET_ESCALE, Folded(2500000)));
    remote.line.feed(Reply(R_GET_TEMPSET, Bytes8{0x10, 0x27, 0, 0}));
    remote.line.feed(TextReply(R_DUMP_SCREEN_TEXT, "\x01Main Menu"));
    remote.line.feed(Reply(R_GET_PURE, Bytes8{0, 1, 1, 2, 3, 4, 5, 6, 7, 8}));
    remote.tick();
    ASSERT_EQ(TextsOf(remote.events, remote_control::kPortrait).size(), 1u);
    EXPECT_EQ(TextsOf(remote.events, remote_control::kPortrait)[0].substr(0, 21), " 12/31/1993 24:00:00\r");
    EXPECT_EQ(TextsOf(remote.events, remote_control::kEscale), (std::vector<std::string>{"2.5000"}));
    EXPECT_EQ(TextsOf(remote.events, remote_control::kTempset), (std::vector<std::string>{"100.00"}));
    EXPECT_EQ(TextsOf(remote.events, remote_control::kDiagnostic).back(), "R_GET_PURE\r\nlastChar = 26 total = 11\r\nPending=0x00000000\r\n0.000000");
    EXPECT_NE(std::find(TextsOf(remote.events, remote_control::kDiagnostic).begin(),
                        TextsOf(remote.events, remote_control::kDiagnostic).end(), "Main Menu"),
              TextsOf(remote.events, remote_control::kDiagnostic).end());
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
}

TEST(RemoteSession, PassFailComparesExactlyWhileTheListIgnoresCase) {
    Remote remote;
    remote.connect();
    remote.session.getData();
    EXPECT_EQ(remote.line.written, (Bytes8{167, 1, 145, 0}));
    remote.session.getData();  // data still awaited: only the selection request
    EXPECT_EQ(remote.line.written, (Bytes8{167, 1, 145, 0, 167, 1}));

    remote.session.selectAlloy("316SS");
    remote.line.feed(TextReply(R_DUMP_DATA_NOW, "ID,1st:316ss \r\n2nd:304SS \r\n3rd:321SS \r\n"));
    remote.tick();
    EXPECT_EQ(Only<BitmapEvent>(remote.events), (std::vector<BitmapEvent>{{remote_control::kPassFail, "Fail"}}));
    EXPECT_EQ(remote.session.alloyNames().names(), (std::vector<std::string>{"304SS", "316ss", "321SS"}));
    EXPECT_EQ(Only<ListEvent>(remote.events).back().selected, 1);
    EXPECT_EQ(remote.session.pendingFlags(), 0u);

    remote.events.clear();
    remote.line.feed(TextReply(R_DUMP_DATA_NOW, "ID,1st:316SS \r\n"));
    remote.tick();
    EXPECT_EQ(Only<BitmapEvent>(remote.events), (std::vector<BitmapEvent>{{remote_control::kPassFail, "Pass"}}));

    // A selection no reply named is put back into the list.
    remote.events.clear();
    remote.session.selectAlloy("C17200");
    remote.line.feed(TextReply(R_DUMP_DATA_NOW, "ID,1st:A286 \r\n"));
    remote.tick();
    const ListEvent list = Only<ListEvent>(remote.events).back();
    EXPECT_EQ(list.items, (std::vector<std::string>{"304SS", "316ss", "321SS", "A286", "C17200"}));
    EXPECT_EQ(list.selected, 4);
}

TEST(RemoteSession, AutoStartRunsTheRepeatsAndCountsDown) {
    Remote remote;
    remote.connect();
    bool measuring = false;
    int64_t startedAt = 0;
    std::vector<int64_t> starts;
    remote.line.onWrite = [&](FakeLine& line, std::span<const uint8_t> bytes) {
        if (bytes[0] == R_START_MEAS) {
            measuring = true;
            startedAt = remote.clock.milliseconds();
            starts.push_back(startedAt);
        } else if (bytes[0] == R_STOP_MEAS) {
            measuring = false;
        } else if (bytes[0] == R_DUMP_REGIONS_NOW) {
            const double elapsed = measuring ? (remote.clock.milliseconds() - startedAt) / 1000.0 : 0.0;
            char text[64];
            std::snprintf(text, sizeof text, "Pb=1,Cu=2,Time=%.1f,Live=1", elapsed);
            line.feed(TextReply(R_DUMP_REGIONS_NOW, text));
        }
    };
    remote.session.autoStart("1.5", "3");
    EXPECT_TRUE(remote.session.autoStartRunning());
    for (int i = 0; i < 2000 && remote.session.autoStartRunning(); ++i) remote.tick(20);
    EXPECT_FALSE(remote.session.autoStartRunning());
    EXPECT_EQ(TextsOf(remote.events, remote_control::kNumRepeat), (std::vector<std::string>{"2", "1", "3"}));
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_GE(starts[1] - starts[0], 1500 + 1000);  // the measurement, then a pause of about 2 seconds
    EXPECT_EQ(std::count(remote.line.written.begin(), remote.line.written.end(), R_STOP_MEAS), 3);
    EXPECT_FALSE(measuring);
    const std::vector<EnableEvent> enables = Only<EnableEvent>(remote.events);
    EXPECT_EQ(enables.back(), (EnableEvent{remote_control::kNumRepeat, true}));
}

TEST(RemoteSession, AutoStartWithoutAMeasuringTimeAsksForOne) {
    Remote remote;
    remote.connect();
    remote.session.autoStart("0.5", "3");
    remote.session.autoStart("", "3");
    EXPECT_TRUE(remote.line.written.empty());
    ASSERT_EQ(remote.prompter.boxes().size(), 2u);
    EXPECT_EQ(remote.prompter.boxes()[0].text, "Must set Meas Time");
    EXPECT_EQ(remote.prompter.boxes()[0].caption, "Auto Start");
    EXPECT_EQ(remote.prompter.boxes()[0].icon, Icon::Information);
    EXPECT_FALSE(remote.session.autoStartRunning());
}

TEST(RemoteSession, StopEndsAutoStartAndSends140) {
    Remote remote;
    remote.connect();
    remote.session.autoStart("30", "2");
    remote.session.stopMeasurement();
    EXPECT_EQ(remote.line.written, (Bytes8{139, 150, 140}));
    EXPECT_FALSE(remote.session.autoStartRunning());
}

TEST(RemoteSession, BaudChangeTellsTheAnalyzerThenReopensAfterTwoSeconds) {
    Remote remote;
    remote.connect();
    remote.session.changeBaud(4);
    EXPECT_EQ(remote.line.written, (Bytes8{159, 4}));
    remote.tick(1000);
    EXPECT_EQ(TextsOf(remote.events, remote_control::kDiagnostic), (std::vector<std::string>{"Baud Rate 115200"}));
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::ChangingBaud);
    remote.tick(1000);
    remote.tick();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Connected);
    EXPECT_EQ(remote.line.opens.back().baudIndex, 4);
    EXPECT_EQ(remote.session.baudIndex(), 4);

    remote.line.openResult = false;
    remote.session.changeBaud(7);  // any index above 4 is 9.6K
    EXPECT_EQ(remote.line.written.back(), 0);
    remote.tick(2000);
    remote.tick();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Ended);
    EXPECT_EQ(Only<EndEvent>(remote.events), (std::vector<EndEvent>{{1}}));
}

TEST(RemoteSession, SilentAnalyzerFreesItsPendingRequests) {
    Remote remote(4);
    remote.connect();
    remote.session.setSpectraPolling(true);
    remote.ticks(12);
    EXPECT_EQ(remote.session.pendingFlags(), pending::kSpectrumSignature);
    remote.ticks(90);  // no byte for more than 500 / (4 + 1) ticks
    EXPECT_EQ(remote.session.pendingFlags(), 0u);
    remote.ticks(12);
    EXPECT_EQ(std::count(remote.line.written.begin(), remote.line.written.end(), R_REFRESH_SPECTRA_ASK), 2);
}

TEST(RemoteSession, ExitClosesThePortAndTellsWhenItCannot) {
    Remote remote;
    remote.connect();
    remote.line.closeResult = false;
    remote.session.exit();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Ended);
    ASSERT_EQ(remote.prompter.boxes().size(), 1u);
    EXPECT_EQ(remote.prompter.boxes()[0].text, "Could not close port");
    EXPECT_EQ(remote.prompter.boxes()[0].caption, "COMM ERROR 2");
}

}  // namespace
}  // namespace ravik
