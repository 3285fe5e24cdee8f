#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

#include "fake_line.h"
#include "core/link/dump_receiver.h"
#include "core/settings/settings.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "unit/readings/reading_files.h"

namespace ravik {
namespace {

using test::FakeLine;
using test::Only;
using test::TextsOf;
using Strings = std::vector<std::string>;

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

    // Opened at this rate; without one, not opened.
    explicit Receiving(std::optional<int> baudIndex = 0) {
        if (baudIndex) EXPECT_TRUE(receiver.open(SerialPortConfig{"Com1:", *baudIndex}));
    }
    std::string dumpFile() const { return test::ReadAll(dir.file("ravik.tmp")); }
    std::vector<DialogEvent> tick() {
        receiver.tick();
        return receiver.takeEvents();
    }
    // Bytes off the line, then ticks; the last tick's events.
    std::vector<DialogEvent> feed(const std::string& bytes, int ticks = 1) {
        line.feed(bytes);
        std::vector<DialogEvent> events;
        for (int i = 0; i < ticks; ++i) events = tick();
        return events;
    }
    LoadOutcome accept(int* readings = nullptr) {
        ReadingStore store;
        const LoadOutcome outcome = receiver.accept(store).outcome;
        if (readings != nullptr) *readings = store.readingCount;
        return outcome;
    }
};

TEST(DumpReceiver, FramesHeaderAndRecordsIntoTheDumpFileAndAcceptLoadsIt) {
    Receiving dump;
    const test::TestFile file = Readings(3);
    const std::string stream = DumpStream(file);
    // The header waits until 378 bytes are queued.
    dump.feed(stream.substr(0, 377));
    EXPECT_EQ(dump.receiver.lastTickBytes(), 0u);
    EXPECT_FALSE(dump.receiver.state().headerDone);

    std::vector<DialogEvent> events = dump.feed(stream.substr(377, 1));  // the header ends its tick
    EXPECT_TRUE(dump.receiver.state().headerDone);
    EXPECT_EQ(TextsOf(events, dump_control::kPrompt).back(), file.text().c_str());
    EXPECT_EQ(dump.settings.download, kDownloadDone);
    EXPECT_FALSE(dump.receiver.acceptEnabled());

    events = dump.feed(stream.substr(378));
    EXPECT_EQ(TextsOf(events, dump_control::kProgress), Strings{"100% Complete Records 3 of 3    20"});
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

TEST(DumpReceiver, ZeroCountEnablesAcceptWithTheFirstRecord) {
    Receiving dump;
    test::TestFile file = Readings(1);
    file.headerCount = 0;
    dump.feed(DumpStream(file));
    EXPECT_FALSE(dump.receiver.acceptEnabled());
    EXPECT_EQ(TextsOf(dump.tick(), dump_control::kProgress), Strings{"0% Complete Records 0 of 0     1"});
    EXPECT_TRUE(dump.receiver.acceptEnabled());
}

// A locked analyzer announces its count negated: Accept still waits for every reading.
TEST(DumpReceiver, NegativeCountEnablesAcceptOnlyAfterEveryReading) {
    Receiving dump;
    test::TestFile file = Readings(3);
    file.headerCount = -3;
    const std::string stream = DumpStream(file);
    dump.feed(stream.substr(0, stream.size() - file.records.back().size()), 2);
    EXPECT_EQ(dump.receiver.state().total, 3);
    EXPECT_FALSE(dump.receiver.acceptEnabled());
    EXPECT_EQ(dump.accept(), LoadOutcome::Unreadable);
    dump.feed(stream.substr(stream.size() - file.records.back().size()));
    EXPECT_TRUE(dump.receiver.acceptEnabled());
}

TEST(DumpReceiver, RecordShorterThanItsHeaderStallsWithWaitInQue) {
    Receiving dump;
    test::TestFile file = Readings(2);
    file.records[0][0] = 0;
    file.records[0][1] = 10;  // a length below 20
    dump.feed(DumpStream(file), 2);
    EXPECT_EQ(dump.prompter.shown(), Strings{"COMM ERROR: WaitInQue -10  > RXQUEUE 4096 @ 0"});
    EXPECT_EQ(dump.prompter.boxes()[0].buttons, Buttons::Ok);
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Stalled);
    EXPECT_FALSE(dump.receiver.acceptEnabled());
    // What came off the line before the fault is in the dump file; nothing more is read.
    EXPECT_EQ(dump.dumpFile().size(), kFileHeaderSize + kRecordHeaderSize);
    dump.tick();
    EXPECT_EQ(dump.receiver.lastTickBytes(), 0u);
    int readings = -1;
    EXPECT_EQ(dump.accept(&readings), LoadOutcome::Unreadable);
    EXPECT_EQ(readings, 0);
}

// The queue holds 4096 bytes: a body of exactly that many fits and is received;
// a body larger than the queue lets in is taken in pieces.
TEST(DumpReceiver, BodiesOfTheQueueSizeAndLargerAreReceivedWhole) {
    const size_t plain = Readings(1).records[0].size();
    const test::TestFile exact = Readings(1, static_cast<int>(kRecordHeaderSize + kQueueSize - plain) / 2);
    ASSERT_EQ(exact.records[0].size(), kRecordHeaderSize + kQueueSize);
    Receiving fits;
    fits.feed(DumpStream(exact), 2);
    EXPECT_TRUE(fits.receiver.acceptEnabled());
    EXPECT_TRUE(fits.prompter.shown().empty());

    Receiving dump;
    const test::TestFile file = Readings(1, 1800);  // a body of more than 3600 bytes
    const std::string stream = DumpStream(file);
    dump.feed(stream.substr(0, stream.size() - 500));
    dump.line.holds.xoffSent = true;
    dump.tick();
    EXPECT_EQ(dump.receiver.state().expected, 500u);
    dump.line.holds.xoffSent = false;
    dump.feed(stream.substr(stream.size() - 500));
    ReadingStore store;
    EXPECT_EQ(dump.receiver.accept(store).outcome, LoadOutcome::Whole);
    EXPECT_EQ(store.record(1).size(), file.records[0].size());
}

TEST(DumpReceiver, SurplusBytesAfterTheLastReadingReachTheFileAndBeepsSoundOnce) {
    Receiving dump;
    dump.feed(DumpStream(Readings(2)), 2);
    // A further record (length 24) is still framed, after it bytes come one at a time.
    const std::string surplus = std::string("\0\x18", 2) + std::string(18, 'h') + "bodytail";
    EXPECT_TRUE(Only<BeepEvent>(dump.feed(surplus)).empty());
    EXPECT_EQ(dump.receiver.state().received, 2);
    EXPECT_EQ(dump.receiver.state().expected, 1u);
    const std::string written = dump.dumpFile();
    EXPECT_EQ(written.substr(written.size() - surplus.size()), surplus);
    int readings = -1;
    EXPECT_EQ(dump.accept(&readings), LoadOutcome::Whole);
    EXPECT_EQ(readings, 2);
}

TEST(DumpReceiver, PromptNamesTheRateExceptAt115200) {
    EXPECT_EQ(TextsOf(Receiving(1).receiver.takeEvents(), dump_control::kPrompt),
              Strings{"Press Fast Data Dump on ORVEX\nMUST Set Baud Rate to 19.2K"});
    EXPECT_EQ(TextsOf(Receiving(0).receiver.takeEvents(), dump_control::kPrompt),
              Strings{"Press Fast Data Dump on ORVEX\nSet Baud Rate to 9.6K (default)"});
    EXPECT_TRUE(TextsOf(Receiving(4).receiver.takeEvents(), dump_control::kPrompt).empty());
}

TEST(DumpReceiver, FiveHeaderLinesLongerThan256BytesAreAnError) {
    Receiving dump;
    std::string header = " 2   Readings\n";
    for (int line = 0; line < 3; ++line) header += std::string(90, 'x') + "\n";
    header += "date\n";
    dump.feed(header + std::string(200, '\0'));
    EXPECT_EQ(dump.prompter.captions(), Strings{"COMM ERROR"});
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Stalled);
    EXPECT_EQ(dump.dumpFile(), header.substr(0, kFileHeaderSize));
}

TEST(DumpReceiver, DiscardAsksAndNeverTouchesTheStore) {
    Receiving dump;
    const std::string stream = DumpStream(Readings(3));
    dump.feed(stream.substr(0, stream.size() - 100), 2);  // cut short
    ReadingStore store;
    ASSERT_EQ(LoadReadingsBytes(store, Readings(5).bytes(), "open.qvr", kOpenCommand, dump.prompter),
              LoadOutcome::Whole);
    EXPECT_EQ(dump.receiver.accept(store).outcome, LoadOutcome::Unreadable);  // not all arrived
    dump.prompter.queueAnswer(Answer::No);
    EXPECT_FALSE(dump.receiver.discard());
    EXPECT_TRUE(dump.line.isOpen());
    EXPECT_TRUE(dump.receiver.discard());
    EXPECT_EQ(dump.prompter.shown(), Strings(2, "Warning: Canceling will delete data\nAre you sure?"));
    EXPECT_EQ(dump.prompter.boxes()[0].defaultAnswer, Answer::No);  // Enter keeps the dump
    EXPECT_FALSE(dump.line.isOpen());
    EXPECT_EQ(store.readingCount, 5);

    Receiving failing;
    failing.line.closeResult = false;
    failing.receiver.end();
    EXPECT_EQ(failing.prompter.shown(), Strings{"COMM ERROR 2: Could not close port"});
}

TEST(DumpReceiver, ThePortOrTheDumpFileCannotBeOpened) {
    Receiving dump(std::nullopt);
    const std::string path = dump.dir.file("ravik.tmp");
    test::WriteAll(path, "the previous dump");
    dump.line.openResult = false;
    EXPECT_FALSE(dump.receiver.open(SerialPortConfig{}));
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Closed);
    // A receive that cannot start leaves the previous dump as it was.
    EXPECT_EQ(dump.dumpFile(), "the previous dump");
    // The dump file was released: another receiver can take it, and while
    // one receives into it no second one can.
    dump.line.openResult = true;
    DumpReceiver next(dump.line, dump.prompter, dump.settings, path);
    EXPECT_TRUE(next.open(SerialPortConfig{}));
    DumpReceiver second(dump.line, dump.prompter, dump.settings, path);
    EXPECT_FALSE(second.open(SerialPortConfig{}));
    EXPECT_EQ(dump.prompter.shown(), Strings{"Disk Error: Cannot Create Dump File\n" + path});
}

// Something other than a regular file named like the dump file is refused at
// once: a FIFO is not waited on, a link's target is not emptied.
TEST(DumpReceiver, ADumpFileThatIsNoRegularFileIsRefused) {
    const std::vector<std::pair<const char*, std::function<void(const test::TempDir&, const std::string&)>>> cases = {
        {"FIFO", [](const test::TempDir&, const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"link to a readings file",
         [](const test::TempDir& dir, const std::string& path) {
             test::WriteAll(dir.file("kept.qvr"), "readings");
             ASSERT_EQ(::symlink(dir.file("kept.qvr").c_str(), path.c_str()), 0);
         }},
        {"folder", [](const test::TempDir&, const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0700), 0); }},
    };
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        Receiving dump(std::nullopt);
        const std::string path = dump.dir.file("ravik.tmp");
        make(dump.dir, path);
        ::alarm(10);  // an open that waits for a FIFO's reader ends the test here
        EXPECT_FALSE(dump.receiver.open(SerialPortConfig{}));
        ::alarm(0);
        EXPECT_EQ(dump.prompter.shown(), Strings{"Disk Error: Not a Regular File\n" + path});
        EXPECT_TRUE(dump.line.opens.empty());
        if (std::filesystem::exists(dump.dir.file("kept.qvr"))) EXPECT_EQ(test::ReadAll(dump.dir.file("kept.qvr")), "readings");
    }
}

TEST(DumpReceiver, ReadFailureAndFullDiskStop) {
    Receiving failing;
    failing.line.feed(DumpStream(Readings(1)));
    failing.line.readError = 5;
    failing.tick();
    EXPECT_EQ(failing.prompter.shown(), Strings{"ERROR READING PORT: last_error = 5 (Input/output error)"});
    EXPECT_EQ(failing.receiver.phase(), DumpReceiver::Phase::Stalled);

    Receiving dump;
    dump.feed(DumpStream(Readings(4)));
    std::vector<DialogEvent> events;
    test::WithFileSizeLimit(kFileHeaderSize + 100, [&] { events = dump.tick(); });
    EXPECT_EQ(dump.prompter.shown(),
              (Strings{"Disk Error: Out of Disk Space\nFree More Space\nor\nDownload Fewer Reading",
                       "Warning: Canceling will delete data\nAre you sure?"}));
    EXPECT_EQ(Only<EndEvent>(events), (std::vector<EndEvent>{{0}}));
    EXPECT_EQ(dump.receiver.phase(), DumpReceiver::Phase::Closed);
    EXPECT_FALSE(dump.receiver.acceptEnabled());
}

}  // namespace
}  // namespace ravik
