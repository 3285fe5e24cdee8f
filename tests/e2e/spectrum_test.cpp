#include <gtest/gtest.h>

#include <filesystem>

#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::ReadAll;
using test::RunProcess;

// Every refusal of "ravik spectrum" with its status and message; the files
// that were there stay as they were, and a folder of .msa files is written
// whole or not at all.
TEST(SpectrumCommand, RefusalsStatusesAndWholeOutputs) {
    test::TempDir dir;
    const std::string input = dir.file("wall.qvr");
    ASSERT_TRUE(test::MakeSampleFile(input, {"--paint", "4", "--sign", "1", "--seed", "5"}));
    const std::string folder = dir.file("out");
    std::filesystem::create_directory(folder);
    test::WriteAll(dir.file("old.csv"), "old");
    test::WriteAll(folder + "/wall-3.msa", "old");
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string said;  // part of stderr
    };
    const Row rows[] = {
        {{"--mode", "paint", "--readings", "1", "--bogus", "-o", "a.csv"}, 2, "unknown, repeated or empty option"},
        {{"--mode", "paint", "-o", "a.csv"}, 2, "--readings is missing"},
        {{"--mode", "paint", "--readings", "0,2", "-o", "a.csv"}, 2, "--readings takes"},
        {{"--mode", "paint", "--readings", "9", "-o", "a.csv"}, 2, "there is no Paint reading No 9 (the table has 4)"},
        {{"--mode", "paint", "--readings", "1", "--normalize", "peak", "-o", "a.csv"}, 2, "--normalize takes"},
        {{"--mode", "paint", "--readings", "1", "--range", "16-8", "-o", "a.csv"}, 2, "--range takes"},
        {{"--mode", "paint", "--readings", "1", "--range", "500-600", "-o", "a.csv"}, 2, "lies outside the spectra"},
        {{"--mode", "paint", "--readings", "1", "--lines", "Pb,Qq", "-o", "a.csv"}, 2, "unknown element \"Qq\""},
        {{"--mode", "sign", "--readings", "1", "--high", "-o", "a.csv"}, 2, "Sign readings have no High spectrum"},
        {{"--mode", "paint", "--readings", "1", "-o", "a.txt"}, 2, "-o names a .png"},
        {{"--mode", "paint", "--readings", "1,2", "-o", "a.msa"}, 2, "-o names an existing folder"},
#ifdef RAVIK_HAS_DESKTOP
        {{"--mode", "paint", "--readings", "1", "-o", "a.png"}, 0, ""},  // drawn by ravik-desktop
#else
        {{"--mode", "paint", "--readings", "1", "-o", "a.png"}, 2, "spectrum"},
#endif
        {{"--mode", "paint", "--readings", "1", "-o", "old.csv"}, 1, "old.csv"},
        {{"--mode", "paint", "--readings", "1", "-o", "wall.qvr.csv", "--force"}, 0, ""},
        {{"--mode", "paint", "--readings", "2-4", "-o", "out"}, 1, "wall-3.msa"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = {"spectrum", input};
        for (const std::string& arg : row.args) args.push_back(arg.ends_with(".csv") || arg.ends_with(".msa") || arg.ends_with(".png") || arg == "out" ? dir.file(arg) : arg);
        const test::ProcessResult result = RunProcess(RAVIK_EXE, args);
        EXPECT_EQ(result.exitCode, row.status) << row.args.back() << ": " << result.err;
        EXPECT_NE(result.err.find(row.said), std::string::npos) << result.err;
    }
    EXPECT_EQ(ReadAll(dir.file("old.csv")), "old");
    EXPECT_FALSE(std::filesystem::exists(folder + "/wall-2.msa"));
    // With --force the folder gets all three.
    const test::ProcessResult forced =
        RunProcess(RAVIK_EXE, {"spectrum", input, "--mode", "paint", "--readings", "2-4", "--force", "-o", folder});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(forced.out, folder + "/wall-2.msa\n" + folder + "/wall-3.msa\n" + folder + "/wall-4.msa\n");
    EXPECT_TRUE(ReadAll(folder + "/wall-3.msa").starts_with("#FORMAT      : EMSA/MAS Spectral Data File\r\n"));
}

}  // namespace
}  // namespace ravik
