#include <gtest/gtest.h>

#include <filesystem>

#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using test::ReadAll;

// "export --sheet" keeps every output rule of export: its usage errors, no
// existing file replaced without --force, never its input or a folder, a
// damaged input only with --force; a refused run leaves the target as it was.
TEST(SheetCommand, KeepsTheOutputRulesOfExport) {
    test::TempDir dir;
    const std::string input = dir.file("in.qvr");
    ASSERT_TRUE(test::MakeSampleFile(input, {"--bulk", "4", "--seed", "3"}));
    const std::string whole = ReadAll(input);
    test::WriteAll(dir.file("cut.qvr"), whole.substr(0, whole.size() - 30));
    test::WriteAll(dir.file("data.csv"), whole);  // readings under a spreadsheet's name
    test::WriteAll(dir.file("text.qvr"), std::string(300, 'x') + "\n");
    test::WriteAll(dir.file("old.csv"), "old");
    std::filesystem::create_directory(dir.file("folder.xlsx"));
    struct Row {
        std::string in, out;
        std::vector<std::string> extra;
        int status;
        std::string kept;  // the target's bytes afterwards ("": none)
    };
    const Row rows[] = {
        {"in.qvr", "new.txt", {}, 2, ""},                       // no spreadsheet name
        {"in.qvr", "new.csv", {"-o", dir.file("x")}, 2, ""},    // two outputs
        {"in.qvr", "new.csv", {"--status"}, 2, ""},             // a kind no sheet holds
        {"in.qvr", "new.csv", {"--mode", "paint"}, 2, ""},      // repeated option
        {"in.qvr", "old.csv", {}, 1, "old"},
        {"data.csv", "data.csv", {"--force"}, 1, whole},
        {"text.qvr", "new.csv", {"--force"}, 1, ""},
        {"in.qvr", "folder.xlsx", {"--force"}, 1, ""},
        {"cut.qvr", "new.csv", {}, 1, ""},
        {"in.qvr", "missing/new.xlsx", {}, 1, ""},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = {"export", dir.file(row.in), "--mode", "bulk", "--sheet", dir.file(row.out)};
        args.insert(args.end(), row.extra.begin(), row.extra.end());
        const test::ProcessResult run = test::RunProcess(RAVIK_EXE, args);
        SCOPED_TRACE(row.in + " " + row.out);
        EXPECT_EQ(run.exitCode, row.status) << run.err;
        EXPECT_FALSE(run.err.empty());
        if (!row.kept.empty()) EXPECT_EQ(ReadAll(dir.file(row.out)), row.kept);
        if (row.kept.empty() && row.out != "folder.xlsx") EXPECT_FALSE(std::filesystem::exists(dir.file(row.out)));
    }
    const test::ProcessResult forced = test::RunProcess(
        RAVIK_EXE, {"export", input, "--mode", "bulk", "--force", "--sheet", dir.file("old.csv")});
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(forced.out, dir.file("old.csv") + "\n");
    EXPECT_EQ(ReadAll(dir.file("old.csv")).rfind("No,QVNo,", 0), 0u);
}

}  // namespace
}  // namespace ravik
