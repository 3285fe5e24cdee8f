#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::RunProcess;

std::string MakeSample(const test::TempDir& dir, const std::string& name, const std::vector<std::string>& options) {
    EXPECT_TRUE(test::MakeSampleFile(dir.file(name), options));
    return dir.file(name);
}

TEST(Start, MistypedSubcommandIsToldWithTheListAndStatus2) {
    const test::ProcessResult typo = RunProcess(RAVIK_EXE, {"exprot", "in.qvr"});
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_NE(typo.err.find("ravik: unknown command \"exprot\"\n"), std::string::npos) << typo.err;
    for (const char* usage : {"ravik info FILE", "ravik export INPUT.qvr", "ravik probe --port DEVICE"}) {
        EXPECT_NE(typo.err.find(usage), std::string::npos) << usage;
    }
}

TEST(Start, DesktopProgramWithoutDisplaySaysSoInOneLine) {
    const test::ProcessResult started =
        RunProcess(RAVIK_EXE, {}, {"QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(started.exitCode, 1);
    EXPECT_EQ(std::count(started.err.begin(), started.err.end(), '\n'), 1) << started.err;
    EXPECT_NE(started.err.find("no display"), std::string::npos) << started.err;
}

TEST(InfoCommand, PrintsHeaderVersionSiteCountsAndTitles) {
    test::TempDir dir;
    const std::string file = MakeSample(dir, "a.qvr", {"--paint", "3", "--alloy", "2", "--version", "5.5",
                                                         "--site", "Dock 9", "--locked"});
    const test::ProcessResult info = RunProcess(RAVIK_EXE, {"info", file});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    for (const char* line : {"Version: 5.5\n", "Locked: yes\n", "Site: Dock 9\n",
                             "Readings: 5\n  Paint: 3\n  Bulk: 0\n  Thin: 0\n  Alloy: 2\n  Sign: 0\n",
                             "  Paint: No | QVNo | Site | Inspector", "Pbl \xC2\xB1 Prec"}) {  // UTF-8 on the terminal
        EXPECT_NE(info.out.find(line), std::string::npos) << line;
    }

    const test::ProcessResult missing = RunProcess(RAVIK_EXE, {"info", dir.file("none.qvr")});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.err.find("READ ERROR"), std::string::npos);
}

TEST(MergeCommand, AppendsWithTheRulesAndSavesEverything) {
    test::TempDir dir;
    const std::string first = MakeSample(dir, "first.qvr", {"--bulk", "4", "--seed", "1"});
    const std::string second = MakeSample(dir, "second.qvr", {"--paint", "2", "--seed", "2"});
    const std::string out = dir.file("merged.qvr");
    test::ProcessResult merged = RunProcess(RAVIK_EXE, {"merge", first, second, "-o", out});
    ASSERT_EQ(merged.exitCode, 0) << merged.err;
    test::ProcessResult info = RunProcess(RAVIK_EXE, {"info", out});
    EXPECT_NE(info.out.find("Readings: 6\n  Paint: 2\n  Bulk: 4\n"), std::string::npos) << info.out;

    // Locked output goes to ".LCK" with a negative count.
    merged = RunProcess(RAVIK_EXE, {"merge", first, "-o", out, "--locked"});
    ASSERT_EQ(merged.exitCode, 0) << merged.err;
    EXPECT_EQ(test::ReadAll(dir.file("merged.LCK")).substr(0, 5), "-4   ");

    // Another version is refused and nothing written.
    const std::string old = MakeSample(dir, "old.qvr", {"--bulk", "1", "--version", "5.0"});
    merged = RunProcess(RAVIK_EXE, {"merge", first, old, "-o", dir.file("x.qvr")});
    EXPECT_NE(merged.exitCode, 0);
    EXPECT_NE(merged.err.find("Cannot Append Different File Versions"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.qvr")));

    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", first}).exitCode, 2);  // no -o
}

// Nothing is replaced without --force, an input never, and only whole inputs
// are merged unless --force; folders, FIFOs and devices are neither read nor
// written.
TEST(MergeCommand, RefusesExistingOutputsItsInputsDamagedInputsAndSpecialFiles) {
    test::TempDir dir;
    const std::string first = MakeSample(dir, "first.qvr", {"--bulk", "4", "--seed", "1"});
    const std::string out = dir.file("out.qvr");
    test::WriteAll(out, "keep");
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", first, "-o", out}).exitCode, 1);
    EXPECT_EQ(test::ReadAll(out), "keep");
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", first, "-o", out, "--force"}).exitCode, 0);
    EXPECT_NE(test::ReadAll(out), "keep");

    const std::string before = test::ReadAll(first);
    test::ProcessResult merged = RunProcess(RAVIK_EXE, {"merge", first, "-o", first, "--force"});
    EXPECT_EQ(merged.exitCode, 1);
    EXPECT_NE(merged.err.find("Cannot Write Over the Input File"), std::string::npos) << merged.err;
    EXPECT_EQ(test::ReadAll(first), before);

    const std::string cut = dir.file("cut.qvr");
    test::WriteAll(cut, before.substr(0, before.size() - 30));
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", cut, "-o", dir.file("a.qvr")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.qvr")));
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", cut, "-o", dir.file("a.qvr"), "--force"}).exitCode, 0);
    EXPECT_NE(RunProcess(RAVIK_EXE, {"info", dir.file("a.qvr")}).out.find("Readings: 3\n"), std::string::npos);

    ASSERT_EQ(::mkfifo(dir.file("fifo.qvr").c_str(), 0644), 0);
    const test::ProcessResult fifo = RunProcess(RAVIK_EXE, {"info", dir.file("fifo.qvr")});
    EXPECT_EQ(fifo.exitCode, 1);
    EXPECT_NE(fifo.err.find("Not a Regular File / " + dir.file("fifo.qvr")), std::string::npos) << fifo.err;
    for (const std::string& special : {dir.path(), std::string("/dev/full")}) {
        merged = RunProcess(RAVIK_EXE, {"merge", first, "-o", special, "--force"});
        EXPECT_EQ(merged.exitCode, 1);
        EXPECT_NE(merged.err.find("Not a Regular File / " + special), std::string::npos) << merged.err;
    }
    EXPECT_FALSE(std::filesystem::exists("/dev/full.QVR"));
}

}  // namespace
}  // namespace ravik
