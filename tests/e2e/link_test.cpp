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

TEST(LinkEndToEnd, CutShortDumpIsDiscardedAndWhatArrivedStaysInTheDumpFile) {
    ReceiveCase c;
    c.makeSample(20, "3");
    const test::ProcessResult run = c.receiveDump({"--cut-after", "20000"}, "1");
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("Nothing received for 1 seconds: the dump was discarded"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(c.out));

    // What arrived is in "ravik.tmp", behind the header padded to 256 bytes.
    const std::string dumped = test::ReadAll(c.dir.file("home/ravik.tmp"));
    ASSERT_GT(dumped.size(), 256u + 1000u);
    EXPECT_EQ(dumped.substr(256), test::ReadAll(c.sent).substr(256, dumped.size() - 256));

    // A receive that cannot open its port fails and keeps that dump.
    EXPECT_EQ(c.receive(c.dir.file("no-such-port"), "1").exitCode, 1);
    EXPECT_EQ(test::ReadAll(c.dir.file("home/ravik.tmp")), dumped);
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
