#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "core/library/library_source.h"
#include "core/platform/file_io.h"
#include "process.h"
#include "support/temp_dir.h"
#include "unit/library/library_builder.h"

namespace ravik {
namespace {

using test::Alloy;
using test::RunProcess;

std::string MakeSample(const test::TempDir& dir, const std::string& name, const std::vector<std::string>& options) {
    EXPECT_TRUE(test::MakeSampleFile(dir.file(name), options));
    return dir.file(name);
}

// Words that start no desktop program: --version, mistyped subcommands and
// options, and one misused option per subcommand, which shows that each
// reads its words with the shared option rules. Without a display, a
// desktop program started by mistake would exit with 1.
TEST(Start, CommandLineWordsGiveTheirStatusWithoutTheDesktopProgram) {
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string said;  // on stdout for status 0, else on stderr
    };
    const Row rows[] = {
        {{"--version"}, 0, "RAVIK 5.7d for Orvex QV\n"},
        {{"-V"}, 0, "RAVIK 5.7d for Orvex QV\n"},
        {{"-x", "in.qvr"}, 2, "ravik: unknown option \"-x\""},
        {{"-"}, 2, "ravik: unknown option \"-\""},
        {{"--"}, 2, "ravik: unknown option \"--\""},
        {{"exprot", "in.qvr"}, 2, "ravik: unknown command \"exprot\"\n"},
        {{"info", "--bogus"}, 2, "usage: ravik info FILE"},
        {{"merge", "a.qvr", "-o", "x.qvr", "-o", "y.qvr"}, 2, "usage: ravik merge"},
        {{"library", "a.lib", "-o", "x.lib", "-o", "y.lib"}, 2, "usage: ravik library"},
        {{"library", "send", "a.lib", "--port", ""}, 2, "usage: ravik library send"},
        {{"probe", "--port", ""}, 2, "usage: ravik probe"},
        {{"export", "in.qvr", "--mode", "paint", "--table", "--classes", "", "-o", "out"}, 2, "usage: ravik export"},
    };
    for (const Row& row : rows) {
        const test::ProcessResult run =
            RunProcess(RAVIK_EXE, row.args, {"QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY="});
        SCOPED_TRACE(row.args.front() + (row.args.size() > 1 ? " " + row.args[1] : ""));
        EXPECT_EQ(run.exitCode, row.status) << run.err;
        EXPECT_NE((row.status == 0 ? run.out : run.err).find(row.said), std::string::npos) << run.out << run.err;
    }
    const test::ProcessResult typo = RunProcess(RAVIK_EXE, {"exprot"});
    for (const char* usage : {"ravik info FILE", "ravik export INPUT.qvr", "ravik probe --port DEVICE"}) {
        EXPECT_NE(typo.err.find(usage), std::string::npos) << usage;
    }
}

#ifdef RAVIK_HAS_DESKTOP
TEST(Start, DesktopProgramWithoutDisplaySaysSoInOneLine) {
    const test::ProcessResult started =
        RunProcess(RAVIK_EXE, {}, {"QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_TRUE(test::EndedSaying(started, 1, "no display"));
    EXPECT_EQ(std::count(started.err.begin(), started.err.end(), '\n'), 1) << started.err;
}
#endif

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

    EXPECT_TRUE(test::EndedSaying(RunProcess(RAVIK_EXE, {"info", dir.file("none.qvr")}), 1, "READ ERROR"));

    // A damaged file: what loaded is shown, with the partial status.
    const std::string whole = test::ReadAll(file);
    test::WriteAll(dir.file("cut.qvr"), whole.substr(0, whole.size() - 30));
    const test::ProcessResult cut = RunProcess(RAVIK_EXE, {"info", dir.file("cut.qvr")});
    EXPECT_EQ(cut.exitCode, 3);
    EXPECT_NE(cut.out.find("Readings: 4\n"), std::string::npos) << cut.out;
}

// Merge appends with the rules and saves everything. Nothing is replaced
// without --force, an input never, and only whole inputs are merged unless
// --force; folders, FIFOs and devices are neither read nor written.
TEST(MergeCommand, AppendsWithTheRulesAndRefusesWhatItMayNotReadOrWrite) {
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

    // Another version, or no readings file at all, is refused and nothing written.
    const std::string old = MakeSample(dir, "old.qvr", {"--bulk", "1", "--version", "5.0"});
    test::WriteAll(dir.file("text.qvr"), std::string(300, 'x') + "\n");
    for (const auto& [input, message] : {std::pair{old, "Cannot Append Different File Versions"},
                                         std::pair{dir.file("text.qvr"), "Not a Readings File"}}) {
        EXPECT_TRUE(test::EndedSaying(RunProcess(RAVIK_EXE, {"merge", first, input, "-o", dir.file("x.qvr")}), 1, message));
        EXPECT_FALSE(std::filesystem::exists(dir.file("x.qvr")));
    }

    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", first}).exitCode, 2);  // no -o

    const std::string kept = dir.file("kept.qvr");
    test::WriteAll(kept, "keep");
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", first, "-o", kept}).exitCode, 1);
    EXPECT_EQ(test::ReadAll(kept), "keep");
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", first, "-o", kept, "--force"}).exitCode, 0);
    EXPECT_NE(test::ReadAll(kept), "keep");

    const std::string before = test::ReadAll(first);
    EXPECT_TRUE(test::EndedSaying(RunProcess(RAVIK_EXE, {"merge", first, "-o", first, "--force"}), 1,
                                  "Cannot Write Over the Input File"));
    EXPECT_EQ(test::ReadAll(first), before);

    const std::string cut = dir.file("cut.qvr");
    test::WriteAll(cut, before.substr(0, before.size() - 30));
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", cut, "-o", dir.file("a.qvr")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.qvr")));
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"merge", cut, "-o", dir.file("a.qvr"), "--force"}).exitCode, 0);
    EXPECT_NE(RunProcess(RAVIK_EXE, {"info", dir.file("a.qvr")}).out.find("Readings: 3\n"), std::string::npos);

    ASSERT_EQ(::mkfifo(dir.file("fifo.qvr").c_str(), 0644), 0);
    EXPECT_TRUE(test::EndedSaying(RunProcess(RAVIK_EXE, {"info", dir.file("fifo.qvr")}), 1,
                                  "Not a Regular File / " + dir.file("fifo.qvr")));
    for (const std::string& special : {dir.path(), std::string("/dev/full")}) {
        EXPECT_TRUE(test::EndedSaying(RunProcess(RAVIK_EXE, {"merge", first, "-o", special, "--force"}), 1,
                                      "Not a Regular File / " + special));
    }
    EXPECT_FALSE(std::filesystem::exists("/dev/full.QVR"));
}

// A hand-edited ports.ini: COM2's chosen device is listed as one that does
// not open, control characters in its path shown escaped, never sent to the
// terminal; a ports.ini too large to be read is told, with status 1.
TEST(PortsCommand, ListsEachComPortEscapedAndTellsARefusedPortsFile) {
    test::TempDir home;
    test::WriteAll(home.file("ports.ini"), "COM2=" + home.file("x\x1b[2J\x7f\xc2\x9b") + "1m\n");
    test::ProcessResult ports = RunProcess(RAVIK_EXE, {"ports"}, {"RAVIK_HOME=" + home.path()});
    ASSERT_EQ(ports.exitCode, 0) << ports.err;
    const size_t com2 = ports.out.find("COM2  " + home.file("x\\x1B[2J\\x7F\\x9B1m "));
    ASSERT_NE(com2, std::string::npos) << ports.out;
    EXPECT_TRUE(ports.out.substr(com2, ports.out.find('\n', com2) - com2).ends_with(" does not open")) << ports.out;
    EXPECT_EQ(ports.out.find_first_of("\x1b\x7f\x9b"), std::string::npos) << ports.out;
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"ports", "extra"}).exitCode, 2);

    std::filesystem::resize_file(home.file("ports.ini"), kSmallFileLimit + 1);
    ports = RunProcess(RAVIK_EXE, {"ports"}, {"RAVIK_HOME=" + home.path()});
    EXPECT_TRUE(test::EndedSaying(ports, 1, "File Too Large / " + home.file("ports.ini")));
    EXPECT_NE(ports.out.find("COM2  "), std::string::npos);
}

// The library subcommand lists the groups, names and group conflicts; a
// library that reads only after a correction (here: no searchIndex at all)
// is listed as corrected, with status 1. -o writes a library that read whole
// to a new file; an existing file or a library that did not read whole only
// with --force, its own input never.
TEST(LibraryCommand, ListsCorrectsAndWritesOnlyWholeLibrariesOrWithForce) {
    test::TempDir dir;
    // A brass under BEGIN_CU and an iron alloy misfiled under BEGIN_CU too.
    const std::string text = LibrarySourceText(
        test::Library({{2, {Alloy("C36000", {{7, {6000, 6300}}}), Alloy("A36", {{4, {9800, 9900}}})}}}));
    test::WriteAll(dir.file("in.lib"), text);
    test::WriteAll(dir.file("old.lib"), "old");
    test::WriteAll(dir.file("bare.lib"), "assayLibrary\n{\"X\" , 1, 2, 0},\n\n");
    const auto run = [&](const std::string& in, const std::string& out, bool force = false) {
        std::vector<std::string> args{"library", dir.file(in), "-o", dir.file(out)};
        if (force) args.push_back("--force");
        return RunProcess(RAVIK_EXE, args);
    };

    const test::ProcessResult shown = run("in.lib", "out.lib");
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    for (const char* part : {"BEGIN_FE (0)\nBEGIN_NI_CO (0)\nBEGIN_CU (2)\n     C36000\n     A36\nBEGIN_CO (0)\n",
                             "Alloys: 2\n", "Group conflicts:\n     A36: group is BEGIN_CU, should be BEGIN_FE\n"}) {
        EXPECT_NE(shown.out.find(part), std::string::npos) << shown.out;
    }
    EXPECT_EQ(test::ReadAll(dir.file("out.lib")), text);
    const test::ProcessResult corrected = RunProcess(RAVIK_EXE, {"library", dir.file("bare.lib")});
    EXPECT_TRUE(test::EndedSaying(corrected, 1, "No searchIndex was read"));
    EXPECT_NE(corrected.out.find("BEGIN_FE (1)\n     X\n"), std::string::npos) << corrected.out;

    EXPECT_TRUE(test::EndedSaying(run("in.lib", "in.lib", true), 1, "Cannot Write Over the Input File"));
    EXPECT_EQ(run("in.lib", "old.lib").exitCode, 1);
    EXPECT_EQ(test::ReadAll(dir.file("old.lib")), "old");
    EXPECT_EQ(run("in.lib", "old.lib", true).exitCode, 0);
    EXPECT_EQ(test::ReadAll(dir.file("old.lib")), text);

    EXPECT_EQ(run("bare.lib", "bare-out.lib").exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("bare-out.lib")));
    EXPECT_EQ(run("bare.lib", "bare-out.lib", true).exitCode, 1);
    EXPECT_TRUE(std::filesystem::exists(dir.file("bare-out.lib")));

    // Into a folder that does not exist: no previous file to speak of.
    EXPECT_TRUE(test::EndedSaying(run("in.lib", "none/x.lib"), 1, "Cannot Save Library File / " + dir.file("none/x.lib") + "\n"));

    EXPECT_EQ(RunProcess(RAVIK_EXE, {"library"}).exitCode, 2);
    EXPECT_EQ(RunProcess(RAVIK_EXE, {"library", "a.lib", "b.lib"}).exitCode, 2);
    EXPECT_TRUE(test::EndedSaying(RunProcess(RAVIK_EXE, {"library", dir.file("none.lib")}), 1, "READ ERROR"));
}

}  // namespace
}  // namespace ravik
