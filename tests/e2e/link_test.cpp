#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "core/library/library_source.h"
#include "process.h"
#include "support/analyzer_simulator.h"
#include "support/pseudo_terminal.h"
#include "core/readings/readings_loader.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "unit/library/library_builder.h"

namespace ravik {
namespace {

using test::RunProcess;

// The simulated analyzer of these tests.
class Simulator : public test::AnalyzerSimulator {
public:
    explicit Simulator(const std::vector<std::string>& options) : AnalyzerSimulator(ANALYZER_SIM_EXE, options) {}
};

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
        Simulator analyzer(options);
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
    const auto received = RecordsByMode(c.out);
    EXPECT_EQ(received.size(), 50u);
    EXPECT_TRUE(received == RecordsByMode(c.sent));
}

// However a dump ends short of whole, the readings that arrived whole are
// saved with the partial status, and the message names the dump file that
// keeps the raw bytes; without a whole reading nothing is written.
TEST(LinkEndToEnd, ADumpEndingShortSavesTheReadingsThatArrivedWhole) {
    struct Ending {
        const char* name;
        std::vector<std::string> faults;  // the simulator's
        bool oversized;                   // the second record announces 5000 bytes
        int exitCode;
        const char* saved;                // stdout, before " to OUT"
        const char* why;                  // in stderr
    };
    const Ending endings[] = {
        {"cut", {"--cut-after", "20000"}, false, 3, " of 20 readings saved", "Nothing received for 1 seconds: the dump ended after "},
        {"junk", {"--junk-every", "6000"}, false, 3, " of 20 readings saved", "the dump ended after "},
        {"oversized", {}, true, 3, "1 of 20 readings saved", "The transfer stopped: the dump ended after 1 of 20 readings"},
        {"cut in the first reading", {"--cut-after", "400"}, false, 1, "",
         "the dump ended after 0 of 20 readings; no reading arrived whole, nothing was saved"},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        ReceiveCase c;
        c.makeSample(20, "3");
        if (ending.oversized) {
            std::string bytes = test::ReadAll(c.sent);
            const size_t second = 256 + ((static_cast<uint8_t>(bytes[256]) << 8) | static_cast<uint8_t>(bytes[257]));
            bytes[second] = static_cast<char>(5000 >> 8);
            bytes[second + 1] = static_cast<char>(5000 & 0xFF);
            bytes.resize(std::max(bytes.size(), second + 5000), '\0');  // so the simulator sends all of it
            test::WriteAll(c.sent, bytes);
        }
        const test::ProcessResult run = c.receiveDump(ending.faults, "1");
        EXPECT_EQ(run.exitCode, ending.exitCode) << run.err;
        EXPECT_NE(run.err.find(ending.why), std::string::npos) << run.err;
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

// What a cut dump leaves in the dump file stays there when the next receive
// cannot open its port.
TEST(LinkEndToEnd, WhatArrivedStaysInTheDumpFile) {
    ReceiveCase c;
    c.makeSample(20, "3");
    EXPECT_EQ(c.receiveDump({"--cut-after", "20000"}, "1").exitCode, 3);
    // What arrived is in "ravik.tmp", behind the header padded to 256 bytes.
    const std::string dumped = test::ReadAll(c.dir.file("home/ravik.tmp"));
    ASSERT_GT(dumped.size(), 256u + 1000u);
    EXPECT_EQ(dumped.substr(256), test::ReadAll(c.sent).substr(256, dumped.size() - 256));

    const test::ProcessResult run = c.receive(c.dir.file("no-such-port"), "1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.find("raw bytes"), std::string::npos) << run.err;
    EXPECT_EQ(test::ReadAll(c.dir.file("home/ravik.tmp")), dumped);
}

// The output is checked before the port is opened; options follow the
// rules of every subcommand.
TEST(LinkEndToEnd, ReceiveChecksItsOutputAndOptionsBeforeThePort) {
    ReceiveCase c;
    Simulator analyzer({"--readings", "2", "--baud", "4"});
    const std::string missing = c.dir.file("missing/out.qvr");
    const test::ProcessResult run = RunProcess(
        RAVIK_EXE, {"receive", "--port", analyzer.path(), "--baud", "4", "-o", missing}, {"RAVIK_HOME=" + c.dir.file("home")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "SAVE ERROR: Cannot Create File / " + missing + " / File Not Saved\n");

    const std::vector<std::vector<std::string>> usageErrors = {
        {"--port", "p", "-o", "a.qvr", "--bogus"},
        {"--port", "p", "-o", "a.qvr", "-o", "b.qvr"},
    };
    for (std::vector<std::string> words : usageErrors) {
        words.insert(words.begin(), "receive");
        EXPECT_EQ(RunProcess(RAVIK_EXE, words).exitCode, 2) << words.back();
    }
}

// A dump with a damaged reading saves the whole ones, says how many of how
// many, and exits with its own status.
TEST(LinkEndToEnd, ADamagedDumpSavesItsWholeReadingsWithItsOwnStatus) {
    ReceiveCase c;
    ASSERT_TRUE(test::MakeSampleFile(c.sent, {"--paint", "3", "--seed", "4"}));
    std::string bytes = test::ReadAll(c.sent);
    const size_t second = 256 + ((static_cast<uint8_t>(bytes[256]) << 8) | static_cast<uint8_t>(bytes[257]));
    bytes[second + 8] = '\xFF';  // its text block lies outside the record
    test::WriteAll(c.sent, bytes);
    const test::ProcessResult run = c.receiveDump({}, "10");
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(run.out, "2 of 3 readings saved to " + c.out + "\n");
    EXPECT_EQ(RecordsByMode(c.out).size(), 2u);
}

TEST(LinkEndToEnd, ProbeStepsThroughTheRatesToTheAnalyzers) {
    Simulator analyzer({"--baud", "1"});
    const test::ProcessResult run = RunProcess(RAVIK_EXE, {"probe", "--port", analyzer.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "19.2K\n");
}

TEST(PortsCommand, ListsWhatEachComPortStandsForAndWhetherItOpens) {
    test::PseudoTerminal com3;
    test::TempDir home;
    // COM2's chosen device in ports.ini; COM3 named by the variable.
    test::WriteAll(home.file("ports.ini"), "COM2=" + home.file("gone") + "\n");
    const test::ProcessResult ports =
        RunProcess(RAVIK_EXE, {"ports"}, {"RAVIK_HOME=" + home.path(), "RAVIK_COM3=" + com3.slave});
    ASSERT_EQ(ports.exitCode, 0) << ports.err;
    EXPECT_NE(ports.out.find("COM2  " + home.file("gone")), std::string::npos) << ports.out;
    const size_t com3Line = ports.out.find("COM3  " + com3.slave);
    ASSERT_NE(com3Line, std::string::npos) << ports.out;
    EXPECT_EQ(ports.out.substr(ports.out.find('\n', com3Line) - 5, 5), "opens");
    EXPECT_NE(ports.out.find("detected devices:"), std::string::npos);
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"ports", "extra"}).exitCode, 2);
}

// A library of a few alloys in three groups, some limits not set.
AlloyLibrary SmallLibrary() {
    using test::Alloy;
    return test::Library({{0, {Alloy("Grade 0", {{0, {100, 350}}, {18, {118, 368}}})}},
                          {2, {Alloy("Grade 1"), Alloy("Grade 2", {{5, {205, 455}}})}},
                          {11, {Alloy("Grade 3", {{1, {301, 551}}})}}});
}

// The report line the analyzer writes for an alloy: name, then every limit.
std::string ReportLine(const AlloyRecord& alloy) {
    std::string line = "alloy\t" + alloy.name;
    for (const LimitPair& pair : alloy.limits) line += "\t" + std::to_string(pair.low) + "\t" + std::to_string(pair.high);
    return line + "\n";
}

TEST(LinkEndToEnd, LibraryDownloadDeliversEveryAlloyAndTheSearchIndex) {
    test::TempDir dir;
    const AlloyLibrary library = SmallLibrary();
    test::WriteAll(dir.file("custom.lib"), LibrarySourceText(library));
    Simulator analyzer({"--library-screen", "--library-report", dir.file("report.txt")});
    const test::ProcessResult run =
        RunProcess(RAVIK_EXE, {"library", "send", dir.file("custom.lib"), "--port", analyzer.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "4 alloys sent at 9.6K\n");
    EXPECT_NE(run.err.find("100% Complete\n"), std::string::npos) << run.err;

    // The analyzer writes its report once the last value came in.
    for (int wait = 0; wait < 100 && test::ReadAll(dir.file("report.txt")).find("complete\n") == std::string::npos;
         ++wait) {
        ::usleep(50000);
    }
    std::string expected = "count\t4\n";
    for (const AlloyRecord& alloy : library.alloys) expected += ReportLine(alloy);
    expected += "searchIndex";
    for (int value : library.searchIndex) expected += "\t" + std::to_string(value);
    expected += "\ncomplete\n";
    EXPECT_EQ(test::ReadAll(dir.file("report.txt")), expected);
}

TEST(LinkEndToEnd, LibrarySendRefusesALibraryNotReadWhole) {
    test::TempDir dir;
    std::string text = LibrarySourceText(SmallLibrary());
    test::WriteAll(dir.file("cut.lib"), text.substr(0, text.find("searchIndex")));
    Simulator analyzer({"--library-screen", "--library-report", dir.file("report.txt")});
    const test::ProcessResult run = RunProcess(RAVIK_EXE, {"library", "send", dir.file("cut.lib"), "--port", analyzer.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Library Not Read Whole"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Complete"), std::string::npos) << run.err;
    EXPECT_EQ(test::ReadAll(dir.file("report.txt")), "");
}

}  // namespace
}  // namespace ravik
