#include <gtest/gtest.h>

#include <filesystem>

#include "process.h"
#include "support/temp_dir.h"

namespace ravik {
namespace {

using std::filesystem::exists;
using test::RunProcess;

struct PrintCase {
    test::TempDir dir;
    std::string input = dir.file("survey.qvr");
    std::string pdf = dir.file("report.pdf");

    PrintCase() {
        EXPECT_TRUE(test::MakeSampleFile(input, {"--paint", "6", "--bulk", "9", "--alloy", "3", "--seed", "5"}));
    }
    test::ProcessResult run(std::vector<std::string> options) const {
        options.insert(options.begin(), {"print", input, "--settings-dir", dir.file("settings")});
        return RunProcess(RAVIK_EXE, options);
    }
    std::string text() const { return RunProcess("/usr/bin/pdftotext", {"-layout", pdf, "-"}).out; }
    int pages() const {
        const std::string info = RunProcess("/usr/bin/pdfinfo", {pdf}).out;
        const size_t at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
    }
};

TEST(PrintCommand, OnePdfHoldsTheJobsInTheirOrder) {
    PrintCase c;
    const test::ProcessResult result = c.run({"--mode", "paint", "--high", "--low", "--table", "--status", "--pdf", c.pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = c.text();
    const size_t status = text.find("Status Page 1");
    const size_t table = text.find("Paint Page 1");
    const size_t low = text.find("Low Energy Spectrum");
    const size_t high = text.find("High Energy Spectrum");
    ASSERT_NE(high, std::string::npos) << text;
    EXPECT_LT(table, low);
    EXPECT_LT(low, high);
    EXPECT_LT(high, status);
    EXPECT_NE(text.find("Lead survey"), std::string::npos);  // the file title on the first table page
}

TEST(PrintCommand, SpectrumPagesHoldFourEach) {
    PrintCase c;
    ASSERT_EQ(c.run({"--mode", "bulk", "--low", "--pdf", c.pdf}).exitCode, 0);
    EXPECT_EQ(c.pages(), 3);  // nine readings, 2 x 2 to a page
    const std::string text = c.text();
    EXPECT_NE(text.find("Bulk Page 3"), std::string::npos) << text;
}

TEST(PrintCommand, RefusalsWriteNothing) {
    PrintCase c;
    struct Case {
        const char* name;
        std::vector<std::string> options;
        int exitCode;
    };
    const std::string unwritable = c.dir.file("missing/report.pdf");
    for (const Case& k : {Case{"no readings of the mode", {"--mode", "thin", "--table", "--pdf", c.pdf}, 1},
                          Case{"nothing asked", {"--mode", "bulk", "--pdf", c.pdf}, 2},
                          Case{"no output", {"--mode", "bulk", "--table"}, 2},
                          Case{"unwritable output", {"--mode", "bulk", "--table", "--pdf", unwritable}, 1}}) {
        SCOPED_TRACE(k.name);
        const test::ProcessResult result = c.run(k.options);
        EXPECT_EQ(result.exitCode, k.exitCode);
        EXPECT_FALSE(result.err.empty());
        EXPECT_FALSE(exists(c.pdf));
        EXPECT_FALSE(exists(unwritable + ".part"));
    }
    const test::ProcessResult unreadable =
        RunProcess(RAVIK_EXE, {"print", c.dir.file("none.qvr"), "--mode", "paint", "--table", "--pdf", c.pdf});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_FALSE(exists(c.pdf));
}

}  // namespace
}  // namespace ravik
