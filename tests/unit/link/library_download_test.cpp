#include <gtest/gtest.h>

#include "fake_line.h"
#include "core/link/library_download.h"
#include "unit/library/library_builder.h"
#include "support/scripted_prompter.h"

namespace ravik {
namespace {

using test::FakeClock;
using test::FakeLine;
using test::Only;
using Strings = std::vector<std::string>;

constexpr uint8_t kAck = 0x06;

// Alloys "A0", "A1", ... in groups 0, 1, ... as many as perGroup says; every third limit pair set.
AlloyLibrary MakeLibrary(const std::vector<int>& perGroup) {
    std::vector<test::GroupAlloys> groups;
    int next = 0;
    for (size_t g = 0; g < perGroup.size(); ++g) {
        groups.push_back({static_cast<int>(g), {}});
        for (int i = 0; i < perGroup[g]; ++i, ++next) {
            AlloyRecord alloy = test::Alloy("A" + std::to_string(next));
            for (size_t s = 0; s < kLimitPairs; s += 3) alloy.limits[s] = {next * 100 + static_cast<int>(s), next * 100 + static_cast<int>(s) + 50};
            groups.back().alloys.push_back(alloy);
        }
    }
    return test::Library(groups);
}

// An analyzer on its custom library screen at 19.2K that acknowledges every
// field (an XOFF before every third acknowledgement) until `acksLeft` runs out.
struct Download {
    FakeClock clock;
    FakeLine line{&clock};
    test::ScriptedPrompter prompter;
    LibraryDownload download{line, prompter, clock, SerialPortConfig{}};
    char screen = '9';
    int acksLeft = 1 << 30;
    int64_t silentSince = -1;  // when the first field went unacknowledged
    std::string pending;
    std::vector<std::string> received;  // the count, then every field
    std::vector<DialogEvent> events;

    Download() {
        line.onWrite = [this](FakeLine& l, std::span<const uint8_t> bytes) {
            if (bytes.size() == 1 && bytes[0] == 141) {
                if (l.opens.back().baudIndex == 1) l.feed(std::vector<uint8_t>{141, static_cast<uint8_t>(screen), 0x1A});
                return;
            }
            for (uint8_t byte : bytes) {
                if (byte != '\r') {
                    pending += static_cast<char>(byte);
                    continue;
                }
                received.push_back(pending);
                pending.clear();
                if (acksLeft-- <= 0) {
                    if (silentSince < 0) silentSince = clock.milliseconds();
                    continue;
                }
                if (received.size() % 3 == 0) l.feed(std::vector<uint8_t>{0x13});
                l.feed(std::vector<uint8_t>{kAck});
            }
        };
    }
    // Ticks a second apart while probing and (unless told not to) sending.
    void run(bool whileSending = true) {
        for (int i = 0; i < 200 && (download.phase() == LibraryDownload::Phase::Probing ||
                                    (whileSending && download.phase() == LibraryDownload::Phase::Sending));
             ++i) {
            download.tick();
            clock.advanceMillis(1000);
            auto taken = download.takeEvents();
            events.insert(events.end(), taken.begin(), taken.end());
        }
    }
};

TEST(LibraryDownload, SendsCountFieldsAndSearchIndexEachAfterAnAcknowledgement) {
    Download run;
    const AlloyLibrary library = MakeLibrary({2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 3});
    ASSERT_TRUE(run.download.start(library));
    run.run();
    EXPECT_EQ(run.download.phase(), LibraryDownload::Phase::Done);
    EXPECT_EQ(run.download.foundIndex(), 1);
    // The count, then each alloy's name and limit pairs in group order, then the search index values.
    Strings sent{std::to_string(library.alloys.size())};
    for (const AlloyRecord& alloy : library.alloys) {
        sent.push_back(alloy.name);
        for (const LimitPair& pair : alloy.limits) sent.insert(sent.end(), {std::to_string(pair.low), std::to_string(pair.high)});
    }
    for (int value : library.searchIndex) sent.push_back(std::to_string(value));
    EXPECT_EQ(run.received, sent);
    EXPECT_FALSE(run.line.isOpen());
    EXPECT_TRUE(run.prompter.boxes().empty());
    const Strings progress = test::TextsOf(run.events, library_control::kProgress);
    EXPECT_EQ(progress.front(), "0% Complete");
    EXPECT_NE(std::find(progress.begin(), progress.end(), "33% Complete"), progress.end());
    EXPECT_EQ(progress.back(), "100% Complete");
    EXPECT_EQ(Only<EnableEvent>(run.events).front(), (EnableEvent{kEveryControlButCancel, false}));
}

TEST(LibraryDownload, AnalyzerOnAnotherScreenOrNoneIsRefused) {
    Download run;
    run.screen = '1';
    ASSERT_TRUE(run.download.start(MakeLibrary({1})));
    run.run();
    EXPECT_EQ(run.download.phase(), LibraryDownload::Phase::Failed);
    EXPECT_TRUE(run.received.empty());
    EXPECT_EQ(Only<EnableEvent>(run.events).back(), (EnableEvent{kEveryControlButCancel, true}));

    Download none;
    none.line.onWrite = nullptr;
    ASSERT_TRUE(none.download.start(MakeLibrary({1})));
    none.run();
    EXPECT_EQ(none.download.phase(), LibraryDownload::Phase::Failed);
    EXPECT_EQ(run.prompter.shown().at(0) + "\n" + none.prompter.shown().at(0),
              "ERROR: Orvex Must be On\r\n Custom Lib. Screen\n"
              "ERROR: Instrument not responding\r\nCheck instrument and connection\r\nand try again");
}

TEST(LibraryDownload, AnalyzerThatStopsAcknowledgingEndsTheDownloadWithinTheBound) {
    Download run;
    run.acksLeft = 50;
    ASSERT_TRUE(run.download.start(MakeLibrary({3})));
    run.run();
    EXPECT_EQ(run.download.phase(), LibraryDownload::Phase::Failed);
    EXPECT_EQ(run.prompter.captions(), Strings{"COMM ERROR"});
    EXPECT_EQ(run.line.written.back(), kDownloadAbort);
    EXPECT_FALSE(run.line.isOpen());
    EXPECT_EQ(run.received.size(), 51u);  // the count and the 50 fields acknowledged
    // It waited the whole five seconds for the acknowledgement, and not much longer.
    EXPECT_GE(run.clock.milliseconds() - run.silentSince, 5000);
    EXPECT_LE(run.clock.milliseconds() - run.silentSince, 5000 + 2 * kReadTimeoutMillis);
    EXPECT_EQ(Only<ShowEvent>(run.events).back(), (ShowEvent{library_control::kProgress, false}));
}

TEST(LibraryDownload, CloseDuringTheDownloadAsksThenSendsQ) {
    Download run;
    ASSERT_TRUE(run.download.start(MakeLibrary({4})));
    run.run(false);
    run.download.tick();  // the first header line
    run.download.tick();  // the first alloy
    run.prompter.queueAnswer(Answer::No);
    EXPECT_EQ(run.download.close(), LibraryDownload::CloseDecision::Stay);
    EXPECT_EQ(run.prompter.boxes().back().defaultAnswer, Answer::No);
    EXPECT_TRUE(run.line.isOpen());
    EXPECT_EQ(run.download.close(), LibraryDownload::CloseDecision::Aborted);
    EXPECT_EQ(run.line.written.back(), kDownloadAbort);
    EXPECT_FALSE(run.line.isOpen());
    EXPECT_EQ(run.download.close(), LibraryDownload::CloseDecision::NotDownloading);
}

TEST(LibraryDownload, RefusesLibrariesItCannotSend) {
    Download run;
    EXPECT_TRUE(Download().download.start(MakeLibrary({425})));
    AlloyLibrary tooMany = MakeLibrary({426});
    EXPECT_FALSE(run.download.start(tooMany));
    EXPECT_EQ(run.prompter.boxes().back().text, "User Libray may\r\nnot be more than 425 Alloys");
    AlloyLibrary broken = MakeLibrary({2, 2});
    broken.searchIndex[1] = 5;
    EXPECT_FALSE(run.download.start(broken));
    EXPECT_EQ(run.prompter.boxes().back().caption, "ERROR");
    EXPECT_TRUE(run.line.opens.empty());
}

}  // namespace
}  // namespace ravik
