#include <gtest/gtest.h>

#include <filesystem>

#include "core/library/library_source.h"
#include "process.h"
#include "support/analyzer_simulator.h"
#include "core/readings/readings_loader.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "unit/library/library_builder.h"

namespace ravik {
namespace {

using test::RunProcess;

// "ravik receive" at 115.2K into received.qvr, with its own data directory
// (and so its own "ravik.tmp").
struct ReceiveCase {
    test::TempDir dir;
    std::string sent = dir.file("sent.qvr");
    std::string out = dir.file("received.qvr");

    // A readings file of mostly Paint and some Bulk, Alloy and Sign readings.
    void makeSample(int readings, const std::string& seed) const {
        const std::string part = std::to_string(readings / 5);
        EXPECT_TRUE(test::MakeSampleFile(sent, {"--paint", std::to_string(readings - 3 * (readings / 5)), "--bulk",
                                                part, "--alloy", part, "--sign", part, "--seed", seed}));
    }
    test::ProcessResult receive(const std::string& port, const std::string& timeout) const {
        return RunProcess(RAVIK_EXE, {"receive", "--port", port, "--baud", "4", "-o", out, "--timeout", timeout},
                          {"RAVIK_HOME=" + dir.file("home")});
    }
    // From a simulated analyzer that dumps the sent file (with these further options).
    test::ProcessResult receiveDump(std::vector<std::string> options, const std::string& timeout) const {
        options.insert(options.begin(), {"--dump", sent, "--baud", "4"});
        test::AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, options);
        EXPECT_FALSE(analyzer.path().empty());
        return receive(analyzer.path(), timeout);
    }
};

// Every record, mode by mode in list order (as a saved file holds them).
std::vector<std::vector<uint8_t>> RecordsByMode(const std::string& path) {
    ReadingStore store;
    test::ScriptedPrompter prompter;
    EXPECT_EQ(LoadReadingsFile(store, path, kOpenCommand, prompter), LoadOutcome::Whole) << path;
    std::vector<std::vector<uint8_t>> records;
    for (Mode mode : kAllModes) {
        for (int32_t n : store.list(mode)) records.emplace_back(store.record(n).begin(), store.record(n).end());
    }
    return records;
}

TEST(LinkEndToEnd, ReceivesA50ReadingDumpEqualToTheFileSent) {
    ReceiveCase c;
    c.makeSample(50, "7");
    const test::ProcessResult run = c.receiveDump({}, "10");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("100% Complete Records 50 of 50    20\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "50 readings saved to " + c.out + "\n");
    EXPECT_TRUE(RecordsByMode(c.out) == RecordsByMode(c.sent));
}

// However a dump ends short of whole, or with a damaged reading, the readings
// that arrived whole are saved with the partial status, and the message names
// the dump file that keeps the raw bytes; without a whole reading nothing is
// written.
TEST(LinkEndToEnd, ADumpEndingShortOrDamagedSavesTheReadingsThatArrivedWhole) {
    struct Ending {
        const char* name;
        std::vector<std::string> faults;  // the simulator's
        uint16_t secondLength;            // non-zero: the second record announces this length
        bool damageSecond;                // the second record's text block lies outside it
        int exitCode;
        const char* saved;                // stdout, before " to OUT"
        const char* why;                  // in stderr
    };
    const Ending endings[] = {
        {"cut", {"--cut-after", "20000"}, 0, false, 3, " of 20 readings saved",
         "Nothing received for 1 seconds: the dump ended after "},
        {"oversized", {}, 5000, false, 3, "1 of 20 readings saved",
         "The transfer stopped: the dump ended after 1 of 20 readings"},
        {"damaged", {}, 0, true, 3, "19 of 20 readings saved", "Not every reading of the dump loaded whole"},
        {"cut in the first reading", {"--cut-after", "400"}, 0, false, 1, "",
         "the dump ended after 0 of 20 readings; no reading arrived whole, nothing was saved"},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        ReceiveCase c;
        c.makeSample(20, "3");
        std::string bytes = test::ReadAll(c.sent);
        const size_t second = 256 + ((static_cast<uint8_t>(bytes[256]) << 8) | static_cast<uint8_t>(bytes[257]));
        if (ending.damageSecond) bytes[second + 8] = '\xFF';
        if (ending.secondLength != 0) {
            bytes[second] = static_cast<char>(ending.secondLength >> 8);
            bytes[second + 1] = static_cast<char>(ending.secondLength & 0xFF);
            bytes.resize(std::max(bytes.size(), second + ending.secondLength), '\0');  // so the simulator sends all of it
        }
        test::WriteAll(c.sent, bytes);
        const test::ProcessResult run = c.receiveDump(ending.faults, "1");
        EXPECT_TRUE(test::EndedSaying(run, ending.exitCode, ending.why));
        EXPECT_NE(run.err.find("the raw bytes of the dump are in " + c.dir.file("home/ravik.tmp")), std::string::npos)
            << run.err;
        if (ending.exitCode == 1) {
            EXPECT_EQ(run.out, "");
            EXPECT_FALSE(std::filesystem::exists(c.out));
            continue;
        }
        const size_t of = run.out.find(ending.saved);
        ASSERT_NE(of, std::string::npos) << run.out;
        EXPECT_EQ(run.out.substr(of), std::string(ending.saved) + " to " + c.out + "\n");
        const int saved = std::atoi(run.out.c_str());
        EXPECT_GT(saved, 0);
        EXPECT_EQ(RecordsByMode(c.out).size(), static_cast<size_t>(saved));
    }
}

// The output is checked before the port is opened, a port that does not open
// leaves no word of a dump file, and a usage error is told as in every subcommand.
TEST(LinkEndToEnd, ReceiveChecksItsOutputBeforeThePort) {
    ReceiveCase c;
    test::ProcessResult run = c.receive(c.dir.file("no-such-port"), "1");
    EXPECT_TRUE(test::EndedSaying(run, 1, "ERROR SETTING PORT"));
    EXPECT_EQ(run.err.find("raw bytes"), std::string::npos) << run.err;
    c.out = c.dir.file("missing/out.qvr");
    run = c.receive(c.dir.file("no-such-port"), "1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "SAVE ERROR: Cannot Create File / " + c.out + " / File Not Saved\n");
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"receive", "--port", "p", "-o", "a.qvr", "--bogus"}).exitCode, 2);
}

TEST(LinkEndToEnd, ProbeStepsThroughTheRatesToTheAnalyzers) {
    test::AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--baud", "1"});
    const test::ProcessResult run = RunProcess(RAVIK_EXE, {"probe", "--port", analyzer.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "19.2K\n");
}

// A library of a few alloys in three groups, some limits not set.
AlloyLibrary SmallLibrary() {
    using test::Alloy;
    return test::Library({{0, {Alloy("Grade 0", {{0, {100, 350}}, {18, {118, 368}}})}},
                          {2, {Alloy("Grade 1"), Alloy("Grade 2", {{5, {205, 455}}})}},
                          {11, {Alloy("Grade 3", {{1, {301, 551}}})}}});
}

TEST(LinkEndToEnd, LibrarySendDeliversTheLibraryOrRefusesOneNotReadWhole) {
    test::TempDir dir;
    const std::string text = LibrarySourceText(SmallLibrary());
    test::WriteAll(dir.file("custom.lib"), text);
    test::AnalyzerSimulator analyzer(ANALYZER_SIM_EXE, {"--library-screen"});
    test::ProcessResult run = RunProcess(RAVIK_EXE, {"library", "send", dir.file("custom.lib"), "--port", analyzer.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "4 alloys sent at 9.6K\n");
    EXPECT_NE(run.err.find("100% Complete\n"), std::string::npos) << run.err;

    test::WriteAll(dir.file("cut.lib"), text.substr(0, text.find("searchIndex")));
    EXPECT_TRUE(test::EndedSaying(
        RunProcess(RAVIK_EXE, {"library", "send", dir.file("cut.lib"), "--port", dir.file("no-such-port")}), 1,
        "Library Not Read Whole"));
}

}  // namespace
}  // namespace ravik
