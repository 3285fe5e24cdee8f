#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include "fake_line.h"
#include "link/dump_receiver.h"
#include "settings/settings.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "unit/readings/reading_files.h"

namespace ravik {
namespace {

using test::FakeLine;

// What the analyzer sends for a readings file: the header's five text lines
// (without the NUL padding and the site), then the records.
std::string DumpStream(const test::TestFile& file) {
    const std::string text = file.text();
    return std::string(text.c_str()) + text.substr(kFileHeaderSize);
}

test::TestFile Readings(int count, int extraSpectrumChannels = 0) {
    test::TestFile file;
    for (int i = 0; i < count; ++i) {
        sample::RecordSpec recordSpec = test::PlainReading(6.0f, 1, static_cast<uint16_t>(i + 1));
        recordSpec.spectrum.channelWords.assign(static_cast<size_t>(extraSpectrumChannels), 0x1A13);
        file.add(recordSpec);
    }
    return file;
}

struct Receiving {
    test::TempDir dir;
    FakeLine line;
    test::ScriptedPrompter prompter;
    Settings settings;
    DumpReceiver receiver{line, prompter, settings, dir.file("ravik.tmp")};

    explicit Receiving(int baudIndex = 0) {
        SerialPortConfig config;
        config.baudIndex = baudIndex;
        EXPECT_TRUE(receiver.open(config));
    }
    std::string dumpFile() const { return test::ReadAll(dir.file("ravik.tmp")); }
    std::vector<DialogEvent> tick() {
        receiver.tick();
        return receiver.takeEvents();
    }
};

template <typename Event>
std::vector<Event> Only(const std::vector<DialogEvent>& events) {
    std::vector<Event> found;
    for (const DialogEvent& event : events) {
        if (const Event* e = std::get_if<Event>(&event)) found.push_back(*e);
    }
    return found;
}

std::optional<std::string> TextOf(const std::vector<DialogEvent>& events, int control) {
    std::optional<std::string> text;
    for (const TextEvent& e : Only<TextEvent>(events)) {
        if (e.control == control) text = e.text;
    }
    return text;
}

TEST(DumpReceiver, FramesHeaderAndRecordsIntoTheDumpFileAndAcceptLoadsIt) {
    Receiving dump;
    const test::TestFile file = Readings(3);
    const std::string stream = DumpStream(file);
    dump.line.feed(stream);

    std::vector<DialogEvent> events = dump.tick();  // the header ends its tick
    EXPECT_EQ(TextOf(events, dump_control::kPrompt), std::string(file.text().c_str()));
    EXPECT_TRUE(dump.receiver.state().headerDone);
    EXPECT_EQ(dump.receiver.state().total, 3);
    EXPECT_EQ(dump.settings.download, kDownloadDone);
    EXPECT_FALSE(dump.receiver.acceptEnabled());

    events = dump.tick();
    EXPECT_EQ(TextOf(events, dump_control::kProgress), "100% Complete Records 3 of 3    20");
    EXPECT_EQ(Only<BeepEvent>(events).size(), 2u);
    EXPECT_EQ(Only<EnableEvent>(events), (std::vector<EnableEvent>{{dump_control::kAccept, true}}));

    // The dump file is the readings file with the header padded to 256 bytes.
    std::string expected = file.text();
    std::memset(expected.data() + std::strlen(expected.c_str()), 0, kFileHeaderSize - std::strlen(expected.c_str()));
    EXPECT_EQ(dump.dumpFile(), expected);

    ReadingStore store;
    const DumpAcceptResult accepted = dump.receiver.accept(store);
    EXPECT_EQ(accepted.outcome, LoadOutcome::Whole);
    EXPECT_TRUE(accepted.unsavedChanges);
    EXPECT_EQ(store.readingCount, 3);
    EXPECT_FALSE(dump.line.isOpen());
    EXPECT_TRUE(dump.prompter.boxes().empty());
}

TEST(DumpReceiver, HeaderWaitsUntil378BytesAreQueued) {
    Receiving dump;
    const std::string stream = DumpStream(Readings(2));
    dump.line.feed(stream.substr(0, 377));
    dump.tick();
    EXPECT_EQ(dump.receiver.lastTickBytes(), 0u);
    EXPECT_FALSE(dump.receiver.state().headerDone);
    dump.line.feed(stream.substr(377, 1));
    dump.tick();
    EXPECT_TRUE(dump.receiver.state().headerDone);
}

TEST(DumpReceiver, ZeroCountEnablesAcceptWithTheFirstRecordAndTakesTheRestBytewise) {
    Receiving dump;
    test::TestFile file = Readings(1);
    file.headerCount = 0;
    dump.line.feed(DumpStream(file));
    dump.tick();
    EXPECT_FALSE(dump.receiver.acceptEnabled());
    const std::vector<DialogEvent> events = dump.tick();
    EXPECT_TRUE(dump.receiver.acceptEnabled());
    EXPECT_EQ(TextOf(events, dump_control::kProgress), "0% Complete Records 0 of 0     1");
}

TEST(DumpReceiver, RecordShorterThanItsHeaderStallsWithWaitInQue) {
    Receiving dump;
    test::TestFile file = Readings(2);
    file.records[0][0] = 0;
    file.records[0][1] = 10;  // a length below 20
    dump.line.feed(DumpStream(file));
    dump.tick();
    dump.tick();
    ASSERT_EQ(dump.prompter.boxes().size(), 1u);
    EXPECT_EQ(dump.prompter.boxes()[0].text, "WaitInQue -10  > RXQUEUE 4096 @ 0");
    EXPECT_EQ(dump.prompter.boxes()[0].caption, "COMM ERROR");
    EXPECT_EQ(dump.prompter.boxes()[0].buttons, Buttons::Ok);
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Stalled);
    EXPECT_FALSE(dump.receiver.acceptEnabled());
    // What came off the line before the fault is in the dump file; nothing more is read.
    EXPECT_EQ(dump.dumpFile().size(), kFileHeaderSize + kRecordHeaderSize);
    dump.tick();
    EXPECT_EQ(dump.receiver.lastTickBytes(), 0u);

    ReadingStore store;
    EXPECT_EQ(dump.receiver.accept(store).outcome, LoadOutcome::Unreadable);
    EXPECT_EQ(store.readingCount, 0);
}

TEST(DumpReceiver, SurplusBytesAfterTheLastReadingReachTheFileAndBeepsSoundOnce) {
    Receiving dump;
    const test::TestFile file = Readings(2);
    dump.line.feed(DumpStream(file));
    dump.tick();
    dump.tick();
    // A further record (length 24) is still framed, after it bytes come one at a time.
    const std::string surplus = std::string("\0\x18", 2) + std::string(18, 'h') + "bodytail";
    dump.line.feed(surplus);
    const std::vector<DialogEvent> events = dump.tick();
    EXPECT_TRUE(Only<BeepEvent>(events).empty());
    EXPECT_EQ(dump.receiver.state().received, 2);
    EXPECT_EQ(dump.receiver.state().expected, 1u);
    const std::string written = dump.dumpFile();
    EXPECT_EQ(written.substr(written.size() - surplus.size()), surplus);

    ReadingStore store;
    EXPECT_EQ(dump.receiver.accept(store).outcome, LoadOutcome::Whole);
    EXPECT_EQ(store.readingCount, 2);
}

TEST(DumpReceiver, PromptNamesTheRateExceptAt115200) {
    EXPECT_EQ(TextOf(Receiving(1).receiver.takeEvents(), dump_control::kPrompt),
              "Press Fast Data Dump on ORVEX\nMUST Set Baud Rate to 19.2K");
    EXPECT_EQ(TextOf(Receiving(0).receiver.takeEvents(), dump_control::kPrompt),
              "Press Fast Data Dump on ORVEX\nSet Baud Rate to 9.6K (default)");
    EXPECT_EQ(TextOf(Receiving(4).receiver.takeEvents(), dump_control::kPrompt), std::nullopt);
}

TEST(DumpReceiver, FiveHeaderLinesLongerThan256BytesAreAnError) {
    Receiving dump;
    std::string header = " 2   Readings\n";
    for (int line = 0; line < 3; ++line) header += std::string(90, 'x') + "\n";
    header += "date\n";
    dump.line.feed(header + std::string(200, '\0'));
    dump.tick();
    ASSERT_EQ(dump.prompter.boxes().size(), 1u);
    EXPECT_EQ(dump.prompter.boxes()[0].caption, "COMM ERROR");
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Stalled);
    EXPECT_EQ(dump.dumpFile(), header.substr(0, kFileHeaderSize));
}

TEST(DumpReceiver, ShowsQueueCountAndHoldFlagsWhenTheyChange) {
    Receiving dump;
    dump.receiver.takeEvents();
    dump.line.holds.xoffSent = true;
    dump.line.feed("abc");
    std::vector<DialogEvent> events = dump.tick();
    EXPECT_EQ(TextOf(events, dump_control::kInQueue), "InQue: 3   ");
    const std::vector<CheckEvent> checks = Only<CheckEvent>(events);
    EXPECT_EQ(checks.size(), 5u);
    EXPECT_NE(std::find(checks.begin(), checks.end(), CheckEvent{dump_control::kXoffSent, true}), checks.end());
    EXPECT_NE(std::find(checks.begin(), checks.end(), CheckEvent{dump_control::kCts, false}), checks.end());
    EXPECT_TRUE(dump.tick().empty());
}

TEST(DumpReceiver, BodyLargerThanTheQueueLetsInIsTakenInPiecesWhileXoffIsSent) {
    Receiving dump;
    const test::TestFile file = Readings(1, 1800);  // a body of more than 3600 bytes
    const std::string stream = DumpStream(file);
    const size_t firstPart = stream.size() - 500;
    dump.line.feed(stream.substr(0, firstPart));
    dump.tick();
    dump.line.holds.xoffSent = true;
    dump.tick();
    EXPECT_EQ(dump.receiver.state().received, 0);
    EXPECT_EQ(dump.receiver.state().expected, 500u);
    dump.line.holds.xoffSent = false;
    dump.line.feed(stream.substr(firstPart));
    dump.tick();
    EXPECT_TRUE(dump.receiver.acceptEnabled());
    ReadingStore store;
    EXPECT_EQ(dump.receiver.accept(store).outcome, LoadOutcome::Whole);
    EXPECT_EQ(store.record(1).size(), file.records[0].size());
}

TEST(DumpReceiver, DiscardAsksAndNeverTouchesTheStore) {
    Receiving dump;
    const std::string stream = DumpStream(Readings(3));
    dump.line.feed(stream.substr(0, stream.size() - 100));  // cut short
    dump.tick();
    dump.tick();
    ReadingStore store;
    ASSERT_EQ(LoadReadingsBytes(store, Readings(5).bytes(), "open.qvr", kOpenCommand, dump.prompter),
              LoadOutcome::Whole);
    EXPECT_EQ(dump.receiver.accept(store).outcome, LoadOutcome::Unreadable);  // not all arrived

    dump.prompter.queueAnswer(Answer::No);
    EXPECT_FALSE(dump.receiver.discard());
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Receiving);
    EXPECT_TRUE(dump.line.isOpen());
    EXPECT_TRUE(dump.receiver.discard());
    EXPECT_EQ(dump.prompter.boxes()[0].text, "Canceling will delete data\nAre you sure?");
    EXPECT_EQ(dump.prompter.boxes()[0].caption, "Warning");
    EXPECT_FALSE(dump.line.isOpen());
    EXPECT_EQ(store.readingCount, 5);

    Receiving failing;
    failing.line.closeResult = false;
    failing.receiver.end();
    EXPECT_EQ(failing.prompter.boxes().back().text, "Could not close port");
    EXPECT_EQ(failing.prompter.boxes().back().caption, "COMM ERROR 2");
}

TEST(DumpReceiver, PortThatCannotBeOpenedClosesTheDumpFileAgain) {
    test::TempDir dir;
    FakeLine line;
    line.openResult = false;
    test::ScriptedPrompter prompter;
    Settings settings;
    DumpReceiver receiver(line, prompter, settings, dir.file("ravik.tmp"));
    EXPECT_FALSE(receiver.open(SerialPortConfig{}));
    EXPECT_EQ(receiver.phase(), DumpReceiver::Phase::Closed);
    // The dump file is released: another receiver can take it.
    line.openResult = true;
    DumpReceiver next(line, prompter, settings, dir.file("ravik.tmp"));
    EXPECT_TRUE(next.open(SerialPortConfig{}));
    // ...and while one receives into it, no second one can.
    DumpReceiver second(line, prompter, settings, dir.file("ravik.tmp"));
    EXPECT_FALSE(second.open(SerialPortConfig{}));
    EXPECT_EQ(prompter.boxes().back().text, "Cannot Create Dump File\n" + dir.file("ravik.tmp"));
    EXPECT_EQ(prompter.boxes().back().caption, "Disk Error");
}

TEST(DumpReceiver, ReadFailureIsToldWithTheErrorCode) {
    Receiving dump;
    dump.line.feed(DumpStream(Readings(1)));
    dump.line.readError = 5;
    dump.tick();
    ASSERT_EQ(dump.prompter.boxes().size(), 1u);
    EXPECT_EQ(dump.prompter.boxes()[0].text, "last_error = 5");
    EXPECT_EQ(dump.prompter.boxes()[0].caption, "ERROR READING PORT");
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Stalled);
}

TEST(DumpReceiver, FullDiskStopsTheTransferAndOffersDiscard) {
    Receiving dump;
    dump.line.feed(DumpStream(Readings(4)));
    dump.tick();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = kFileHeaderSize + 100;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::vector<DialogEvent> events = dump.tick();
    setrlimit(RLIMIT_FSIZE, &old);

    ASSERT_EQ(dump.prompter.boxes().size(), 2u);
    EXPECT_EQ(dump.prompter.boxes()[0].text, "Out of Disk Space\nFree More Space\nor\nDownload Fewer Reading");
    EXPECT_EQ(dump.prompter.boxes()[0].caption, "Disk Error");
    EXPECT_EQ(dump.prompter.boxes()[1].caption, "Warning");
    EXPECT_EQ(Only<EndEvent>(events), (std::vector<EndEvent>{{0}}));
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Closed);
    EXPECT_FALSE(dump.receiver.acceptEnabled());
}

}  // namespace
}  // namespace ravik
