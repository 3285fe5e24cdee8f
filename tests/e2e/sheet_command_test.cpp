#include <gtest/gtest.h>

#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

// "export --sheet" keeps the output rules of export: nothing replaced
// without --force, never its input (readings named as a sheet here); a
// refused or failed run leaves the target as it was.
TEST(SheetCommand, KeepsTheOutputRulesOfExport) {
    test::TempDir dir;
    ASSERT_TRUE(test::MakeSampleFile(dir.file("in.csv"), {"--bulk", "4", "--seed", "3"}));
    const std::string readings = test::ReadAll(dir.file("in.csv"));
    test::WriteAll(dir.file("old.xlsx"), "old");
    const auto run = [&](const char* out, bool force) {
        std::vector<std::string> args = {"export", dir.file("in.csv"), "--mode", "bulk", "--sheet", dir.file(out)};
        if (force) args.push_back("--force");
        return test::RunProcess(RAVIK_EXE, args).exitCode;
    };
    EXPECT_EQ(run("old.xlsx", false), 1);
    EXPECT_EQ(run("in.csv", true), 1);
    EXPECT_EQ(run("none/new.xlsx", true), 1);
    EXPECT_EQ(test::ReadAll(dir.file("old.xlsx")), "old");
    EXPECT_EQ(test::ReadAll(dir.file("in.csv")), readings);
    EXPECT_EQ(run("old.xlsx", true), 0);
    EXPECT_EQ(test::ReadAll(dir.file("old.xlsx")).substr(0, 2), "PK");
}

}  // namespace
}  // namespace ravik
