#include <gtest/gtest.h>

#include <filesystem>

#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

// "export --sheet" keeps the output rules of export: nothing replaced
// without --force, never its input, a file that is no readings file
// refused; a refused or failed run leaves the target as it was.
TEST(SheetCommand, KeepsTheOutputRulesOfExport) {
    test::TempDir dir;
    ASSERT_TRUE(test::MakeSampleFile(dir.file("in.csv"), {"--bulk", "4", "--seed", "3"}));  // readings, named as a sheet
    const std::string readings = test::ReadAll(dir.file("in.csv"));
    test::WriteAll(dir.file("text.qvr"), std::string(300, 'x') + "\n");
    test::WriteAll(dir.file("old.xlsx"), "old");
    const auto run = [&](const char* in, const char* out, bool force) {
        std::vector<std::string> args = {"export", dir.file(in), "--mode", "bulk", "--sheet", dir.file(out)};
        if (force) args.push_back("--force");
        return test::RunProcess(RAVIK_EXE, args);
    };
    for (const auto& [in, out, force] : {std::tuple{"in.csv", "old.xlsx", false}, {"in.csv", "in.csv", true},
                                         {"text.qvr", "old.xlsx", true}, {"in.csv", "none/new.xlsx", true}}) {
        const test::ProcessResult refused = run(in, out, force);
        EXPECT_EQ(refused.exitCode, 1) << out;
        EXPECT_FALSE(refused.err.empty());
    }
    EXPECT_EQ(test::ReadAll(dir.file("old.xlsx")), "old");
    EXPECT_EQ(test::ReadAll(dir.file("in.csv")), readings);
    const test::ProcessResult forced = run("in.csv", "old.xlsx", true);
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(forced.out, dir.file("old.xlsx") + "\n");
    EXPECT_EQ(test::ReadAll(dir.file("old.xlsx")).substr(0, 2), "PK");
}

}  // namespace
}  // namespace ravik
