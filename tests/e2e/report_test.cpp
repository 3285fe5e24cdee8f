#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/platform/file_io.h"
#include "process.h"
#include "support/temp_dir.h"
#include "unit/readings/reading_files.h"

namespace ravik {
namespace {

#ifdef RAVIK_HAS_DESKTOP
using test::RunProcess;

// A file of known instrument classes: POS readings 2, 5, 6 in rooms named
// for their number; NEG 1 and 4; INC 3; INCOM 7; and three Bulk readings.
struct ReportCase {
    test::TempDir dir;
    std::string input = dir.file("survey.qvr");
    std::string pdf = dir.file("report.pdf");

    ReportCase() {
        test::TestFile file;
        const int classes[] = {2, 1, 3, 2, 1, 1, 4};
        for (uint16_t i = 0; i < 7; ++i) {
            sample::RecordSpec reading = test::PaintReading(static_cast<uint16_t>(40 + i), classes[i], 1.0 + 0.5 * i);
            reading.textFields[4] = "Room:R" + std::to_string(i + 1);
            file.add(reading);
        }
        for (uint16_t i = 0; i < 3; ++i) file.add(test::PlainReading(6.0f, 6, static_cast<uint16_t>(60 + i)));
        test::WriteAll(input, file.text());
    }
    test::ProcessResult run(std::vector<std::string> options) const {
        options.insert(options.begin(), {"report", input, "--settings-dir", dir.file("settings")});
        return RunProcess(RAVIK_EXE, options);
    }
    std::string text(const char* how = "-layout") const { return RunProcess("/usr/bin/pdftotext", {how, pdf, "-"}).out; }
};

TEST(ReportCommand, SummaryCountsPositivesPageNumbersAndTypeSize) {
    ReportCase c;
    test::WriteAll(c.dir.file("t.ini"), "firm=Firm\ntelephone=" + std::string(1001, '9') + "\nlogo=" + c.input + "\n");
    const test::ProcessResult result = c.run({"--template", c.dir.file("t.ini"), "--pdf", c.pdf});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("longer than 1000 characters"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("the report has no logo"), std::string::npos);
    const std::string text = c.text();
    for (const char* line : {"POS +3\n", "NEG +2\n", "INC +1\n", "Not classified \\(INCOM\\) +1\n", "Paint +7\n",
                             "Bulk +3\n"}) {
        EXPECT_TRUE(std::regex_search(text, std::regex(line))) << line << text;
    }
    // The positive table: exactly the POS readings, with room and lead text.
    const std::string positives = text.substr(text.find("Positive Paint readings"));
    for (const char* row : {"\n2 +R2 .* 1.50 ± 0.10\n", "\n5 +R5 .* 3.00 ± 0.10\n", "\n6 +R6 .* 3.50 ± 0.10\n"}) {
        EXPECT_TRUE(std::regex_search(positives, std::regex(row))) << row;
    }
    EXPECT_EQ(positives.substr(0, positives.find("Bulk")).find("R3"), std::string::npos);

    // "Page N of M" on every page (pages end in form feeds).
    std::vector<std::string> pages;
    for (size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos; start = end + 1) {
        pages.push_back(text.substr(start, end - start));
    }
    ASSERT_GE(pages.size(), 2u);
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::string label = "Page " + std::to_string(p + 1) + " of " + std::to_string(pages.size());
        EXPECT_NE(pages[p].find(label), std::string::npos) << label;
    }
    // No word smaller than 8 point: a word's box is about 1.1 times its type size.
    const std::string boxes = c.text("-bbox");
    const std::regex word("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">([^<]*)<");
    int words = 0;
    for (auto it = std::sregex_iterator(boxes.begin(), boxes.end(), word); it != std::sregex_iterator(); ++it, ++words) {
        EXPECT_GE(std::stod((*it)[2]) - std::stod((*it)[1]), 8.0 * 1.1) << (*it)[3];
    }
    EXPECT_GT(words, 100);
}

TEST(ReportCommand, RefusesBadInputsAndKeepsOutputRules) {
    ReportCase c;
    test::WriteAll(c.pdf, "previous");
    test::WriteAll(c.dir.file("not.qvr"), std::string(600, 'x'));
    std::filesystem::create_directory(c.dir.file("folder"));
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
    };
    const std::string settings = c.dir.file("settings");
    for (const Case& k : {
             Case{"existing output", {"report", c.input, "--pdf", c.pdf}, 1},
             Case{"over its input", {"report", c.input, "--force", "--pdf", c.input}, 1},
             Case{"onto a folder", {"report", c.input, "--force", "--pdf", c.dir.file("folder")}, 1},
             Case{"not a readings file", {"report", c.dir.file("not.qvr"), "--force", "--pdf", c.dir.file("n.pdf")}, 1},
             Case{"no such reading", {"report", c.input, "--readings", "paint:8", "--pdf", c.dir.file("n.pdf")}, 1},
             Case{"bad list", {"report", c.input, "--readings", "paint:0", "--pdf", c.dir.file("n.pdf")}, 2},
             Case{"bad mode", {"report", c.input, "--modes", "paint,lead", "--pdf", c.dir.file("n.pdf")}, 2},
             Case{"missing template", {"report", c.input, "--template", c.dir.file("none.ini"), "--pdf", c.dir.file("n.pdf")}, 1},
         }) {
        SCOPED_TRACE(k.name);
        std::vector<std::string> args = k.args;
        args.insert(args.begin() + 2, {"--settings-dir", settings});
        const test::ProcessResult result = RunProcess(RAVIK_EXE, args);
        EXPECT_EQ(result.exitCode, k.exitCode) << result.err;
        EXPECT_FALSE(result.err.empty());
    }
    EXPECT_EQ(test::ReadAll(c.pdf), "previous");
    EXPECT_FALSE(FileExists(c.dir.file("n.pdf")));
    // A damaged file is reported only with --force; --readings picks what goes in.
    test::WriteAll(c.input, test::ReadAll(c.input).substr(0, test::ReadAll(c.input).size() - 9));
    EXPECT_EQ(c.run({"--force", "--pdf", c.pdf}).exitCode, 0);
    EXPECT_EQ(c.run({"--pdf", c.dir.file("n.pdf")}).exitCode, 1);
    ASSERT_EQ(c.run({"--readings", "paint:2-3", "--force", "--pdf", c.pdf}).exitCode, 0);
    EXPECT_TRUE(std::regex_search(c.text(), std::regex("Paint +2\n")));
    EXPECT_EQ(c.text().find("Bulk readings"), std::string::npos);
}
#endif

}  // namespace
}  // namespace ravik
