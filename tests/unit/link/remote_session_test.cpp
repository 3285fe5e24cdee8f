#include <gtest/gtest.h>

#include <cstdio>

#include "fake_line.h"
#include "core/link/remote_displays.h"
#include "core/link/remote_session.h"
#include "support/scripted_prompter.h"

namespace ravik {
namespace {

using test::FakeLine;
using test::Only;
using test::TextsOf;
using Bytes8 = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

void PutLe32(Bytes8& bytes, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}
// A folded value: its low, then its high 32 bits.
void PutFolded(Bytes8& bytes, int32_t low) {
    PutLe32(bytes, low);
    PutLe32(bytes, 0);
}
Bytes8 Folded(int32_t value) {
    Bytes8 bytes;
    PutFolded(bytes, value);
    return bytes;
}

// A reply's payload with its terminator; a whole reply starts with its code.
Bytes8 Terminated(Bytes8 bytes) {
    bytes.push_back(kReplyTerminator);
    return bytes;
}
Bytes8 Reply(uint8_t code, Bytes8 payload) {
    payload.insert(payload.begin(), code);
    return Terminated(payload);
}
Bytes8 TextReply(uint8_t code, const std::string& text) { return Reply(code, Bytes8(text.begin(), text.end())); }

// A screen dump's payload: the orientation byte, then the bitmap.
Bytes8 Screen(uint8_t orientation, Bytes8 bitmap) {
    bitmap.insert(bitmap.begin(), orientation);
    return bitmap;
}

// A session against a scripted analyzer that echoes 141 at one rate.
struct Remote {
    test::FakeClock clock;
    FakeLine line{&clock};
    test::ScriptedPrompter prompter;
    RemoteSession session;
    std::vector<DialogEvent> events;

    explicit Remote(int answeringIndex = 0, int configuredIndex = 0)
        : session(line, prompter, clock, SerialPortConfig{"/dev/analyzer", configuredIndex}) {
        line.onWrite = [answeringIndex](FakeLine& l, std::span<const uint8_t> bytes) {
            if (bytes.size() == 1 && bytes[0] == R_WHAT_SCREEN && l.opens.back().baudIndex == answeringIndex) {
                l.feed(Bytes8{R_WHAT_SCREEN, '1', kReplyTerminator});
            }
        };
    }
    void search() {
        session.start();
        for (int i = 0; i < 40 && session.phase() == RemoteSession::Phase::Searching; ++i) tick(500);
    }
    void tick(int64_t millis = kRemoteTickMillis) {
        session.tick();
        clock.advanceMillis(millis);
        auto taken = session.takeEvents();
        events.insert(events.end(), taken.begin(), taken.end());
    }
    // Bytes off the line, then a tick.
    void receive(std::span<const uint8_t> bytes) {
        line.feed(bytes);
        tick();
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) tick();
    }
    std::vector<int> openedRates() const {
        std::vector<int> rates;
        for (const SerialPortConfig& config : line.opens) rates.push_back(config.baudIndex);
        return rates;
    }
};

// A session already connected, its line and events cleared.
struct Connected : Remote {
    explicit Connected(int answeringIndex = 0) : Remote(answeringIndex) {
        search();
        EXPECT_EQ(session.phase(), RemoteSession::Phase::Connected);
        line.written.clear();
        line.purges.clear();
        events.clear();
    }
};

TEST(RemoteSession, BaudSearchStopsAtTheFirstRateThatEchoes141OrEndsKeepingTheConfiguredRate) {
    Remote remote(2);
    remote.search();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Connected);
    EXPECT_EQ(remote.session.baudIndex(), 2);
    EXPECT_EQ(remote.openedRates(), (std::vector<int>{0, 1, 2, 2}));
    EXPECT_EQ(remote.line.written, (Bytes8{141, 141, 141}));
    EXPECT_EQ(Only<SelectEvent>(remote.events), (std::vector<SelectEvent>{{remote_control::kBaudList, 2}}));
    EXPECT_TRUE(remote.prompter.boxes().empty());

    Remote silent(9, 3);
    silent.search();
    EXPECT_EQ(silent.session.phase(), RemoteSession::Phase::Ended);
    EXPECT_EQ(silent.openedRates(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(silent.session.baudIndex(), 3);
    EXPECT_EQ(silent.prompter.shown(),
              Strings{"ERROR: Instrument not responding\r\nCheck instrument and connection\r\nand try again"});
    EXPECT_EQ(Only<EndEvent>(silent.events), (std::vector<EndEvent>{{1}}));
    EXPECT_FALSE(silent.line.isOpen());
}

TEST(RemoteSession, ButtonsSendTheirCodesAndAskForTheScreen) {
    Connected remote;
    remote.session.up();  // Up sends 128, the code named for the down arrow
    remote.session.down();
    remote.session.clear();
    remote.session.setScreenPolling(true);
    remote.session.up();
    remote.session.startMeasurement();
    remote.session.stopMeasurement();
    EXPECT_EQ(remote.line.written, (Bytes8{128, 129, 130, 128, 142, 139, 142, 140, 142}));
}

TEST(RemoteSession, PollsAtTheRateScaledPeriodAndFreesRequestsNobodyAnswers) {
    Connected remote(4);
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

    Connected silent(4);
    silent.session.setSpectraPolling(true);
    silent.ticks(12);
    EXPECT_EQ(silent.session.pendingFlags(), pending::kSpectrumSignature);
    silent.ticks(90);  // no byte for more than 500 / (4 + 1) ticks
    EXPECT_EQ(silent.session.pendingFlags(), 0u);
}

TEST(RemoteSession, ChangedSignaturesFetchTheDumps) {
    Connected remote;
    auto signatures = [&] {  // all three arrive within one tick
        remote.line.feed(Reply(R_REFRESH_SCREEN_BIT, Folded(0x1A1A)));
        remote.line.feed(Reply(R_REFRESH_SPECTRA_ASK, Folded(77)));
        remote.receive(Reply(R_REFRESH_WSPECTRA_ASK, Folded(78)));
    };
    signatures();
    EXPECT_EQ(remote.line.written, (Bytes8{144, 148, 0, 0, 1, 244, 149, 0, 0, 3, 232}));
    EXPECT_EQ(remote.session.pendingFlags(), pending::kScreenDump | pending::kSpectrumDump);
    remote.line.written.clear();
    signatures();  // the same again ask for nothing
    EXPECT_TRUE(remote.line.written.empty());
}

Bytes8 ScreenDumpReply(uint8_t orientation, uint8_t fill) {
    return Reply(R_DUMP_SCREEN_BIT, Screen(orientation, Bytes8(kScreenBitmapBytes, fill)));
}

TEST(RemoteSession, ScreenDumpHoldingTerminatorBytesCompletesOnlyAtItsFullLength) {
    Connected remote;
    const Bytes8 dump = ScreenDumpReply(1, kReplyTerminator);
    remote.receive(std::span<const uint8_t>(dump).first(900));
    EXPECT_EQ(remote.session.currentReply(), R_DUMP_SCREEN_BIT);
    EXPECT_TRUE(Only<PictureEvent>(remote.events).empty());
    remote.receive(std::span<const uint8_t>(dump).subspan(900));
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    ASSERT_EQ(Only<PictureEvent>(remote.events).size(), 1u);
    EXPECT_EQ(Only<PictureEvent>(remote.events)[0].control, remote_control::kLandscape);

    // Landscape to portrait greys the landscape box first.
    remote.events.clear();
    remote.receive(ScreenDumpReply(0, 0));
    EXPECT_EQ(Only<FillEvent>(remote.events), (std::vector<FillEvent>{{remote_control::kLandscape, Shade::Grey}}));
    EXPECT_EQ(Only<PictureEvent>(remote.events).at(0).control, remote_control::kPortrait);
}

TEST(RemoteSession, ShortLongEndlessAndUnknownRepliesAreDroppedAndTheLinePurged) {
    Connected remote(4);
    Bytes8 shortDump = ScreenDumpReply(1, 0);
    shortDump.resize(400);
    shortDump.push_back(kReplyTerminator);
    remote.receive(shortDump);
    EXPECT_EQ(remote.session.currentReply(), R_DUMP_SCREEN_BIT);
    remote.ticks(101);  // 500 / (4 + 1) = 100 ticks
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    EXPECT_EQ(remote.session.pendingFlags(), 0u);

    Bytes8 longDump = ScreenDumpReply(1, 0);
    longDump.back() = 0;  // byte 1602 is no terminator
    longDump.insert(longDump.end(), {5, kReplyTerminator});
    remote.line.feed(longDump);
    remote.receive(TextReply(R_DUMP_REGIONS_NOW, "a=1"));  // dropped with it
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);

    remote.line.feed(Bytes8{R_DUMP_SCREEN_TEXT});  // longer than the buffer: never overruns it
    remote.line.feed(Bytes8(kReplyBufferSize + 10, 'z'));
    remote.ticks(2);
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);

    remote.receive(Bytes8{200, R_DUMP_REGIONS_NOW, 'x', kReplyTerminator});  // an unknown code
    EXPECT_EQ(TextsOf(remote.events, remote_control::kDiagnostic).back(), "UNK 200");
    remote.receive(Bytes8{R_END_COMMANDS});  // the idle marker is no reply
    EXPECT_EQ(remote.session.currentReply(), R_END_COMMANDS);
    EXPECT_TRUE(Only<PictureEvent>(remote.events).empty());
    EXPECT_TRUE(TextsOf(remote.events, remote_control::kLandscape).empty());
    const unsigned both = PurgeReceive | PurgeTransmit;
    EXPECT_EQ(remote.line.purges, (std::vector<unsigned>{both, both, both, PurgeReceive}));
}

// A reply in progress shows its name, last byte, length, the pending
// requests and the average time of the second spectra, "%f" as printf writes it.
TEST(RemoteSession, DiagnosticShowsTheReplyInProgress) {
    Connected remote;
    remote.receive(Bytes8{R_DUMP_REGIONS_NOW, 'a', '=', '1'});
    EXPECT_EQ(TextsOf(remote.events, remote_control::kDiagnostic).back(),
              "R_DUMP_REGIONS_NOW\r\nlastChar = 49 total = 3\r\nPending=0x00000000\r\n0.000000");
}

TEST(RemoteSession, PassFailComparesExactlyWhileTheListIgnoresCase) {
    Connected remote;
    remote.session.getData();
    remote.session.getData();  // data still awaited: only the selection request
    EXPECT_EQ(remote.line.written, (Bytes8{167, 1, 145, 0, 167, 1}));

    // No expected alloy yet: the grade is named, nothing passes or fails.
    const Bytes8 lowerCase = TextReply(R_DUMP_DATA_NOW, "ID,1st:316ss \r\n2nd:304SS \r\n3rd:321SS \r\n");
    remote.receive(lowerCase);
    EXPECT_TRUE(Only<BitmapEvent>(remote.events).empty());
    EXPECT_EQ(TextsOf(remote.events, remote_control::kGradeName), Strings{"316ss"});

    remote.events.clear();
    remote.session.selectAlloy("316SS");
    remote.receive(lowerCase);
    EXPECT_EQ(Only<BitmapEvent>(remote.events), (std::vector<BitmapEvent>{{remote_control::kPassFail, "Fail"}}));
    EXPECT_EQ(remote.session.alloyNames().names(), (Strings{"304SS", "316ss", "321SS"}));
    EXPECT_EQ(Only<ListEvent>(remote.events).back().selected, 1);
    EXPECT_EQ(remote.session.pendingFlags(), 0u);

    remote.events.clear();
    remote.receive(TextReply(R_DUMP_DATA_NOW, "ID,1st:316SS \r\n2nd:304SS \r\n3rd:321SS \r\n"));  // the first match decides
    EXPECT_EQ(Only<BitmapEvent>(remote.events), (std::vector<BitmapEvent>{{remote_control::kPassFail, "Pass"}}));

    // A selection no reply named is put back into the list.
    remote.session.selectAlloy("C17200");
    remote.receive(TextReply(R_DUMP_DATA_NOW, "ID,1st:A286 \r\n"));
    const ListEvent list = Only<ListEvent>(remote.events).back();
    EXPECT_EQ(list.items, (Strings{"304SS", "316ss", "321SS", "A286", "C17200"}));
    EXPECT_EQ(list.selected, 4);
}

TEST(RemoteSession, AutoStartRunsTheRepeatsAndCountsDown) {
    Connected remote;
    bool measuring = false;
    std::vector<int64_t> starts;
    remote.line.onWrite = [&](FakeLine& line, std::span<const uint8_t> bytes) {
        if (bytes[0] == R_START_MEAS) {
            measuring = true;
            starts.push_back(remote.clock.milliseconds());
        } else if (bytes[0] == R_STOP_MEAS) {
            measuring = false;
        } else if (bytes[0] == R_DUMP_REGIONS_NOW) {
            const double elapsed = measuring ? (remote.clock.milliseconds() - starts.back()) / 1000.0 : 0.0;
            char text[64];
            std::snprintf(text, sizeof text, "Pb=1,Cu=2,Time=%.1f,Live=1", elapsed);
            line.feed(TextReply(R_DUMP_REGIONS_NOW, text));
        }
    };
    remote.session.autoStart("1.5", "3");
    for (int i = 0; i < 2000 && remote.session.autoStartRunning(); ++i) remote.tick(20);
    EXPECT_FALSE(remote.session.autoStartRunning());
    EXPECT_EQ(TextsOf(remote.events, remote_control::kNumRepeat), (Strings{"2", "1", "3"}));
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_GE(starts[1] - starts[0], 1500 + 1000);  // the measurement, then a pause of about 2 seconds
    EXPECT_EQ(std::count(remote.line.written.begin(), remote.line.written.end(), R_STOP_MEAS), 3);
    EXPECT_EQ(Only<EnableEvent>(remote.events).back(), (EnableEvent{remote_control::kNumRepeat, true}));
}

TEST(RemoteSession, AutoStartNeedsAMeasuringTimeAndStopEndsIt) {
    Connected remote;
    remote.session.autoStart("0.5", "3");
    remote.session.autoStart("", "3");
    EXPECT_TRUE(remote.line.written.empty());
    EXPECT_EQ(remote.prompter.shown(), Strings(2, "Auto Start: Must set Meas Time"));
    EXPECT_EQ(remote.prompter.boxes()[0].icon, Icon::Information);
    remote.session.autoStart("30", "2");
    remote.session.stopMeasurement();
    EXPECT_EQ(remote.line.written, (Bytes8{139, 150, 140}));
    EXPECT_FALSE(remote.session.autoStartRunning());
}

TEST(RemoteSession, BaudChangeTellsTheAnalyzerThenReopensAfterTwoSeconds) {
    Connected remote;
    remote.session.changeBaud(4);
    EXPECT_EQ(remote.line.written, (Bytes8{159, 4}));
    remote.tick(1000);
    EXPECT_EQ(TextsOf(remote.events, remote_control::kDiagnostic), Strings{"Baud Rate 115200"});
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::ChangingBaud);
    remote.tick(1000);
    remote.tick();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Connected);
    EXPECT_EQ(remote.openedRates().back(), 4);
    EXPECT_EQ(remote.session.baudIndex(), 4);

    remote.line.openResult = false;
    remote.session.changeBaud(7);  // any index above 4 is 9.6K
    EXPECT_EQ(remote.line.written.back(), 0);
    remote.tick(2000);
    remote.tick();
    EXPECT_EQ(remote.session.phase(), RemoteSession::Phase::Ended);
    EXPECT_EQ(Only<EndEvent>(remote.events), (std::vector<EndEvent>{{1}}));
}

std::vector<std::pair<int, int>> DarkPixels(const MonoPicture& picture) {
    std::vector<std::pair<int, int>> dark;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (!picture.light(x, y)) dark.emplace_back(x, y);
        }
    }
    return dark;
}

// Screen bytes are inverted, their least significant bit the leftmost pixel;
// a portrait screen is turned a quarter clockwise (column x, row y goes to
// column 79 - y, row x).
TEST(RemoteDisplays, ScreenBytesAreInvertedBitReversedAndPortraitTurned) {
    Bytes8 bitmap(kScreenBitmapBytes, 0x00);
    bitmap[0] = 0x01;             // (0, 0) dark
    bitmap[79 * 20 + 19] = 0x80;  // (159, 79) dark
    bitmap[2 * 20 + 1] = 0x04;    // (10, 2) dark
    const std::optional<ScreenDump> landscape = DecodeScreenDump(Terminated(Screen(1, bitmap)));
    ASSERT_TRUE(landscape);
    EXPECT_TRUE(landscape->landscape);
    EXPECT_EQ(landscape->picture.width, 160);
    EXPECT_EQ(DarkPixels(landscape->picture), (std::vector<std::pair<int, int>>{{0, 0}, {10, 2}, {159, 79}}));
    const std::optional<ScreenDump> portrait = DecodeScreenDump(Terminated(Screen(0, bitmap)));
    ASSERT_TRUE(portrait);
    EXPECT_FALSE(portrait->landscape);
    EXPECT_EQ(portrait->picture.width, 80);
    EXPECT_EQ(DarkPixels(portrait->picture), (std::vector<std::pair<int, int>>{{79, 0}, {77, 10}, {0, 159}}));
    EXPECT_FALSE(DecodeScreenDump(Bytes8(1601, 0)));
    EXPECT_FALSE(DecodeScreenDump(Bytes8(1603, 0)));
}

Bytes8 SpectrumReply(uint16_t first, uint16_t last, const std::vector<int32_t>& counts, bool second = false,
                     uint32_t nominalMillis = 0) {
    Bytes8 bytes{static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first), static_cast<uint8_t>(last >> 8),
                 static_cast<uint8_t>(last)};
    if (second) {
        PutFolded(bytes, 12345);  // EZERO
        PutFolded(bytes, 2500000);  // ESCALE
        PutFolded(bytes, nominalMillis);
    }
    for (int32_t count : counts) PutLe32(bytes, count);
    return Terminated(bytes);
}

TEST(RemoteDisplays, SpectrumOf500ChannelsIsComplete2005BytesLong) {
    std::vector<int32_t> counts(500, 7);
    counts[123] = 0x1A1A1A1A;  // terminator bytes inside the counts
    const Bytes8 reply = SpectrumReply(0, 500, counts);
    EXPECT_EQ(SpectrumReplyLength(reply, kSpectrumHeaderBytes), 2005u);
    const std::optional<SpectrumPlot> plot = DecodeSpectrum(reply);
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->counts.size(), 500u);
    EXPECT_EQ(plot->largest, static_cast<float>(0x1A1A1A1A));
    EXPECT_FALSE(DecodeSpectrum(Bytes8(reply.begin(), reply.end() - 1)));
    EXPECT_EQ(SpectrumReplyLength(SpectrumReply(10, 4, {}), kSpectrumHeaderBytes), 0u);
    EXPECT_EQ(SpectrumReplyLength(Bytes8{0, 0, 1}, kSpectrumHeaderBytes), std::nullopt);
    // Drawn from (0, h), the largest count at the top.
    EXPECT_EQ(PlotLine(*DecodeSpectrum(SpectrumReply(0, 3, {0, 10, 5})), 30, 100),
              (std::vector<PlotPoint>{{0, 100}, {0, 100}, {10, 0}, {20, 50}}));
}

TEST(RemoteDisplays, SecondSpectrumLabelsAndNominalTimeZero) {
    const std::optional<SecondSpectrum> zero = DecodeSecondSpectrum(SpectrumReply(0, 3, {5, 40, 2}, true, 0));
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->ezeroText, "0.0123");
    EXPECT_EQ(zero->escaleText, "2.5000");
    EXPECT_EQ(zero->plot.labels, (std::vector<std::string>{"MAX=4000.00 cps", "NomSec=  0.01"}));
    const std::optional<SecondSpectrum> timed = DecodeSecondSpectrum(SpectrumReply(0, 2, {50, 100}, true, 20000));
    ASSERT_TRUE(timed);
    EXPECT_EQ(timed->plot.labels, (std::vector<std::string>{"MAX=  5.00 cps", "NomSec= 20.00"}));
}

TEST(RemoteDisplays, StatusTimeZeroIsNewYearsEveAtHour24) {
    Bytes8 bytes;
    PutFolded(bytes, 0);
    for (int i = 0; i < 17; ++i) PutLe32(bytes, i == 0 ? 1234 : -5);
    const std::optional<std::string> text = StatusText(Terminated(bytes));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, 23), " 12/31/1993 24:00:00\r\n ");
    EXPECT_NE(text->find(" VSig1:      \t12.34 \r\n"), std::string::npos);
    EXPECT_NE(text->find(" PWait:      \t-0.05 \r\n"), std::string::npos);
    EXPECT_FALSE(StatusText(bytes));
}

}  // namespace
}  // namespace ravik
